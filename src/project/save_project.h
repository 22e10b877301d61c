// Saving the project dialog's values: validation, defaults, the project file,
// the recent list and, for a new project, its database.
#pragma once

#include <string>
#include <vector>

#include "project/settings.h"

namespace tarne {

struct Session;

enum class SaveMode { New, Edit };

// The dialog's values as typed.  Per-group vectors hold at least `groups` entries.
struct ProjectDialogValues {
  int groups = 2;
  std::string sname;
  std::string dbprogram = "MSACCESS";
  std::string root;
  std::string msa;
  std::string newFolder;
  std::string common, rare, lowinfo;
  std::vector<std::string> train, trial, priors;
  std::vector<std::string> groupNames;  // optional; "" for an unnamed group
  CountingRules rules;  // checked and shown, not typed
  // Set by saving: the folders that did not exist and were created.
  std::vector<std::string> createdFolders;
};

// Whether the current project's counting rules are fixed: its database
// holds trained essays, which untraining must count as training did.
bool CountingRulesFixed(Session& session);
// Why they cannot change, and what to do.
inline constexpr const char* kCountingRulesFixed =
    "The counting rules cannot change while the database holds trained essays. Erase them "
    "first (Options > Erase Words, or tarne-cli erase PROJECT all), then change the rules.";

// Answers true when the dialog may close with result 1.  values.msa is
// cleared when MSACCESS.EXE was not found there (the dialog's edit follows it).
bool SaveProject(Session& session, ProjectDialogValues& values, SaveMode mode);

// Change rules of the dialog's numeric edits.  Each answers the edit's new
// text (or the same text when nothing changes).
std::string FilterThresholdField(const std::string& text, bool lowInfoField);

// priorTexts: the prior edits of groups 1..G (G = priorTexts.size()), of which
// edit g (1-based) has just changed.  Updates priorTexts in place.  Answers
// true when the "priors must be positive" warning is due.
bool FilterPriorField(std::vector<std::string>& priorTexts, int g);

}  // namespace tarne
