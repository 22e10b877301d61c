#include "shell/menu_state.h"

namespace tarne {

namespace {

struct ToggleEntry {
  int toggle;
  int target;
};
constexpr ToggleEntry kToggles[] = {
    {cmd::AllowEraseWords, cmd::EraseWords},     {cmd::AllowErasePairs, cmd::ErasePairs},
    {cmd::AllowEraseArguments, cmd::EraseArguments}, {cmd::AllowTrainWords, cmd::TrainWords},
    {cmd::AllowTrainPairs, cmd::TrainPairs},     {cmd::AllowTrainArguments, cmd::TrainArguments},
};

}  // namespace

const std::vector<int>& MenuState::Commands() {
  static const std::vector<int> all = {
      cmd::NewProject, cmd::OpenProject, cmd::Save, cmd::SaveAs, cmd::Print, cmd::Exit,
      cmd::EditProject, cmd::OpenLogText, cmd::ImportEssays, cmd::Undo, cmd::Cut, cmd::Copy, cmd::Paste,
      cmd::Delete, cmd::SelectAll, cmd::TrainWords, cmd::TrainPairs, cmd::TrainArguments,
      cmd::PurgeWords, cmd::PurgePairs, cmd::PurgeArguments, cmd::Compact, cmd::Score,
      cmd::TopWords, cmd::TopPairs, cmd::TopArgs, cmd::Stats, cmd::CompareSettings,
      cmd::AllowEraseWords,
      cmd::AllowErasePairs, cmd::AllowEraseArguments, cmd::AllowTrainWords,
      cmd::AllowTrainPairs, cmd::AllowTrainArguments, cmd::EraseWords, cmd::ErasePairs,
      cmd::EraseArguments, cmd::Font, cmd::Help, cmd::About, cmd::WebSite, 201, 202, 203, 204,
      205, 206};
  return all;
}

MenuState::MenuState() {
  for (int c : Commands()) enabled_[c] = true;
  Set(cmd::EditProject, false);
  Set(cmd::Save, false);
  Set(cmd::SaveAs, false);
  Set(cmd::Print, false);
  SetRange(30, 39, false);
  Set(cmd::Score, false);
  SetRange(70, 75, false);
  SetRange(80, 85, false);
  Set(cmd::Compact, false);
  // Erasing is greyed until its Allow toggle unlocks it.
  SetRange(86, 88, false);
}

void MenuState::SetRange(int from, int to, bool enabled) {
  for (int c = from; c <= to; ++c)
    if (enabled_.count(c)) enabled_[c] = enabled;
}

void MenuState::ProjectCreated() {
  Set(cmd::EditProject, true);
  Set(cmd::PurgeWords, true);
  Set(cmd::Score, true);
  SetRange(70, 75, true);
  SetRange(80, 85, true);
  // A fresh project has no arguments to list yet.
  Set(cmd::TopArgs, false);
}

void MenuState::ProjectLoaded(bool compactAvailable) {
  Set(cmd::EditProject, true);
  Set(cmd::Score, true);
  SetRange(32, 38, true);
  SetRange(70, 75, true);
  SetRange(80, 85, true);
  Set(cmd::Compact, compactAvailable);
}

bool MenuState::Toggle(int toggle) {
  const int target = ToggleTarget(toggle);
  if (target == 0 || !Enabled(toggle)) return false;
  const bool mark = !Checked(toggle);
  checked_[toggle] = mark;
  Set(target, mark);
  return true;
}

void MenuState::WordsTrained() { Set(cmd::Score, true); }

void MenuState::PaneFilled() {
  Set(cmd::Save, true);
  Set(cmd::SaveAs, true);
  Set(cmd::Print, true);
}

void MenuState::SetEditState(bool canUndo, bool hasSelection, bool clipboardHasText) {
  Set(cmd::Undo, canUndo);
  Set(cmd::Cut, hasSelection);
  Set(cmd::Copy, hasSelection);
  Set(cmd::Paste, clipboardHasText);
}

bool MenuState::Enabled(int command) const {
  auto it = enabled_.find(command);
  return it != enabled_.end() && it->second;
}

bool MenuState::Checked(int command) const {
  auto it = checked_.find(command);
  return it != checked_.end() && it->second;
}

int MenuState::ToggleTarget(int toggle) {
  for (const ToggleEntry& t : kToggles)
    if (t.toggle == toggle) return t.target;
  return 0;
}

}  // namespace tarne
