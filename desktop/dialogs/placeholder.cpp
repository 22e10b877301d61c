// Stand-ins until the dialogs land: each answers as if the user cancelled.
#include "dialogs.h"

namespace tarne::desktop {

bool RunProjectDialog(QWidget*, Session&, SaveMode) { return false; }
bool RunScoringOptionsDialog(QWidget*, Session&, ScoringDialogMemory&) { return false; }
int RunErrorAnalysisDialog(QWidget*, const std::vector<ErrorEntry>&, int, int,
                           std::vector<std::string>&) {
  return 0;
}
void OpenEssayViewer(QWidget*, const std::string&) {}

}  // namespace tarne::desktop
