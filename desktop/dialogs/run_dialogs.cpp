// The dialogs as the main window runs them: modal, answering their outcome.
#include "dialogs.h"
#include "error_analysis_dialog.h"
#include "project_dialog.h"
#include "scoring_options_dialog.h"

namespace tarne::desktop {

bool RunProjectDialog(QWidget* parent, Session& session, SaveMode mode) {
  ProjectDialog dialog(parent, session, mode);
  return dialog.exec() == 1;
}

bool RunScoringOptionsDialog(QWidget* parent, Session& session, ScoringDialogMemory& memory) {
  ScoringOptionsDialog dialog(parent, session, memory);
  return dialog.exec() == 1;
}

int RunErrorAnalysisDialog(QWidget* parent, const std::vector<ErrorEntry>& errors, int groups,
                           int what, std::vector<std::string>& flagged,
                           const std::vector<std::string>& groupNames) {
  ErrorAnalysisDialog dialog(parent, errors, groups, what, groupNames);
  // Modal to the main window only, so essay viewers opened from the list
  // stay usable, and stay open after it.
  dialog.setWindowModality(Qt::WindowModal);
  if (dialog.exec() != 1) return 0;
  flagged = dialog.Flagged();
  return 1;
}

}  // namespace tarne::desktop
