// The rules of the scoring-options dialog, without its widgets: which boxes
// are ticked and enabled as the user clicks, and what Score writes back.  The
// desktop dialog mirrors this state in its controls; tarne-cli drives it with
// the clicks its options stand for.
#pragma once

#include <string>

#include "project/scoring_options.h"

namespace tarne {

// What the dialog remembers between openings for the whole program run: the
// Stop Words state saved when Stemmed was last ticked.
struct ScoringDialogMemory {
  bool remembered = false;
  bool stopWords = false;
};

class ScoringDialogRules {
 public:
  // The dialog as it opens over options for the project sname.
  ScoringDialogRules(ScoringOptions& options, const std::string& sname,
                     ScoringDialogMemory& memory);

  // Clicks.  A click on a disabled box changes nothing.
  void ClickWhat(int what);  // 1 Trial, 2 Train, 3 New, 4 One
  void ClickModel(int model);
  void ClickLog();
  void ClickShowErrors();
  void SetStemmed(bool ticked);
  // Stop Words Only: ticks Stop Words and holds it and Stemmed (whose table
  // has no stop words) until unticked.
  void SetStopWordsOnly(bool ticked);
  // The smoothing edit: keeps digits and points; alpha follows its value,
  // and an empty edit or 0 means the classic 1.
  void SetAlphaText(const std::string& text);
  // The one-essay window's text (kept only while the window is open).
  void SetOneEssayText(const std::string& text);

  // Score: writes the state into the options; answers the dialog result 1.
  int Score();
  // Cancel: answers 0 and writes nothing.
  static int Cancel() { return 0; }

  // The state the widgets show.
  int what = 1;
  bool multinomial = true;
  bool stemmed = false, stopWords = true, common = true, rare = true, lowInfo = true;
  bool words = true, phrases = false, arguments = false;
  bool showErrors = false, logBox = false;
  bool showErrorsEnabled = true, logEnabled = true, stopWordsEnabled = true;
  bool stopWordsOnly = false, priorsFromTraining = false;
  bool stemmedEnabled = true, stopWordsOnlyEnabled = true;
  double alpha = 1;
  std::string alphaText;
  std::string logLabel;
  bool oneWindowOpen = false;
  std::string oneEssayText;

 private:
  void CloseOneWindow();
  ScoringOptions& options_;
  std::string lowerName_;
  ScoringDialogMemory& memory_;
};

}  // namespace tarne
