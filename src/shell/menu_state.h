// Which menu commands the main window offers, and which toggles carry their
// check mark, as the program's state changes.  The desktop binds its actions
// to this; nothing here knows about widgets.
#pragma once

#include <map>
#include <vector>

namespace tarne {

// Menu command numbers, as the command table numbers them.
namespace cmd {
inline constexpr int NewProject = 10, OpenProject = 11, Save = 12, SaveAs = 13, Print = 14,
                     Exit = 15, EditProject = 16, OpenLogText = 17, ImportEssays = 18;
inline constexpr int Undo = 20, Cut = 21, Copy = 22, Paste = 23, Delete = 24, SelectAll = 25;
inline constexpr int TrainWords = 30, TrainPairs = 31, TrainArguments = 39;
inline constexpr int PurgeWords = 36, PurgePairs = 37, PurgeArguments = 38, Compact = 42;
inline constexpr int Score = 60;
inline constexpr int TopWords = 70, TopPairs = 71, TopArgs = 73, Stats = 74,
                     CompareSettings = 75;
inline constexpr int AllowEraseWords = 80, AllowErasePairs = 81, AllowEraseArguments = 82,
                     AllowTrainWords = 83, AllowTrainPairs = 84, AllowTrainArguments = 85;
inline constexpr int EraseWords = 86, ErasePairs = 87, EraseArguments = 88;
inline constexpr int Font = 40, Help = 50, About = 51, WebSite = 52;
inline constexpr int RecentFirst = 201, RecentLast = 206;
}  // namespace cmd

class MenuState {
 public:
  // The state at program start.
  MenuState();

  // A new project was saved by the project dialog (result 1).
  void ProjectCreated();
  // A project file was loaded.  compactAvailable: whether compaction can run.
  void ProjectLoaded(bool compactAvailable);
  // An Allow toggle (80 to 85) was chosen: flips its mark and its target.
  // Answers false, changing nothing, when the toggle is greyed or no toggle.
  bool Toggle(int toggle);
  // Words were trained: scoring is offered again.
  void WordsTrained();
  // Text was appended to the pane or a file opened into it.
  void PaneFilled();
  // The pane's edit state, as a menu is about to open.
  void SetEditState(bool canUndo, bool hasSelection, bool clipboardHasText);
  // While a long operation runs, every command is held.
  void SetHeld(bool held) { held_ = held; }
  bool Held() const { return held_; }

  // Whether the command's item is enabled (not greyed), hold aside.
  bool Enabled(int command) const;
  // Whether choosing the command now may run it: enabled and not held.
  bool Available(int command) const { return !held_ && Enabled(command); }
  bool Checked(int command) const;
  // The target a toggle enables (83 -> 30, ...), 0 for any other command.
  static int ToggleTarget(int toggle);
  // Every command the menus and keys know, recent items included.
  static const std::vector<int>& Commands();

 private:
  void Set(int command, bool enabled) { enabled_[command] = enabled; }
  void SetRange(int from, int to, bool enabled);
  std::map<int, bool> enabled_;
  std::map<int, bool> checked_;
  bool held_ = false;
};

}  // namespace tarne
