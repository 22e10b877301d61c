#pragma once
#include <string>
#include <vector>
#include "shell/port.h"            // ErrorEntry
#include "project/save_project.h"  // SaveMode
class QWidget;
namespace tarne { struct Session; struct ScoringDialogMemory; struct EvaluationResult; struct ImportOptions; struct ProjectDialogValues; }
namespace tarne::desktop {
// The project dialog (File > New Project: SaveMode::New; Edit Project: SaveMode::Edit).
// Answers true when Done saved the project through SaveProject (the dialog closed with 1).
bool RunProjectDialog(QWidget* parent, Session& session, SaveMode mode);
// The scoring-options dialog with its one-essay window, over ScoringDialogRules.
// Answers true when the user pressed Score (session.options then set), false on Cancel.
// memory lives for the whole program run (the caller owns it).
bool RunScoringOptionsDialog(QWidget* parent, Session& session, ScoringDialogMemory& memory);
// The file-selection / error-analysis dialog, with Port::ShowErrorAnalysis's meaning:
// answers 1 when essays were chosen for removal and fills flagged.
// groupNames: the project's names for its groups, shown under the list when any is named.
int RunErrorAnalysisDialog(QWidget* parent, const std::vector<ErrorEntry>& errors, int groups,
                           int what, std::vector<std::string>& flagged,
                           const std::vector<std::string>& groupNames = {});
// Opening an essay from the error list: the desktop's default viewer without waiting; when
// none opens, a read-only viewer window of the program.
void OpenEssayViewer(QWidget* parent, const std::string& path);
// Evaluate > Compare Settings: the ranked table in a window that stays open.
void ShowEvaluationWindow(QWidget* parent, const EvaluationResult& result);
// File > Import Essays: the choices of tarne-cli import.  Answers true when
// the user pressed Import; options and project (name, root, thresholds) set.
bool RunImportDialog(QWidget* parent, ImportOptions& options, ProjectDialogValues& project);
}
