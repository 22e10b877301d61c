#include "scoring/options_rules.h"

#include "project/save_project.h"
#include "shell/numbers.h"

namespace tarne {

namespace {

// The smoothing as the edit shows it: "1", "0.1".
std::string AlphaText(double alpha) {
  std::string text = TrimmedNumber(alpha);
  if (!text.empty() && text[0] == '.') text.insert(0, 1, '0');
  return text;
}

}  // namespace

ScoringDialogRules::ScoringDialogRules(ScoringOptions& options, const std::string& sname,
                                       ScoringDialogMemory& memory)
    : options_(options), memory_(memory) {
  for (char c : sname) lowerName_ += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  what = options.What >= 1 && options.What <= 4 ? options.What : 1;
  multinomial = options.Model != 2;
  stemmed = options.Stemmed != 0;
  stopWords = options.IncludeStopWords != 0;
  common = options.IncludeCommon != 0;
  rare = options.IncludeRare != 0;
  lowInfo = options.IncludeLowInfo != 0;
  words = options.CodeWords != 0;
  phrases = options.CodePhrases != 0;
  arguments = options.CodeArguments != 0;
  showErrors = options.ShowErrors != 0;
  alpha = options.Alpha > 0 ? options.Alpha : 1;
  alphaText = AlphaText(alpha);
  priorsFromTraining = options.PriorsFromTraining != 0;
  if (options.StopWordsOnly != 0 && !stemmed) SetStopWordsOnly(true);
  stopWordsOnlyEnabled = !stemmed;
  // The log box opens unticked whatever LogAll holds; only a click on a What
  // option or on the box itself brings LogAll into play.
  logBox = false;
  logLabel = "Log all in " + lowerName_ + ".csv";
  if (what == 4) ClickWhat(4);
}

void ScoringDialogRules::CloseOneWindow() {
  oneWindowOpen = false;
  oneEssayText.clear();
}

void ScoringDialogRules::ClickWhat(int option) {
  if (option < 1 || option > 4) return;
  what = option;
  switch (option) {
    case 1:
    case 2:
      CloseOneWindow();
      logLabel = "Log all in " + lowerName_ + ".csv";
      showErrorsEnabled = true;
      logEnabled = true;
      logBox = options_.LogAll != 0;
      break;
    case 3:
      CloseOneWindow();
      showErrorsEnabled = false;
      logEnabled = true;
      logBox = true;
      logLabel = "Log all in " + lowerName_ + "new.csv";
      break;
    case 4:
      showErrorsEnabled = false;
      logEnabled = false;
      if (!oneWindowOpen) {
        oneWindowOpen = true;
        oneEssayText.clear();
      }
      break;
  }
}

void ScoringDialogRules::ClickModel(int model) { multinomial = model != 2; }

void ScoringDialogRules::ClickLog() {
  if (!logEnabled) return;
  logBox = !logBox;
  options_.LogAll = logBox ? 1 : 0;
  // New always writes its log.
  if (what == 3) logBox = true;
}

void ScoringDialogRules::ClickShowErrors() {
  if (showErrorsEnabled) showErrors = !showErrors;
}

void ScoringDialogRules::SetStemmed(bool ticked) {
  if (ticked == stemmed || !stemmedEnabled) return;
  stemmed = ticked;
  stopWordsOnlyEnabled = !ticked;
  if (ticked) {
    // The stemmer drops stop words anyway; the box says so.
    memory_.remembered = true;
    memory_.stopWords = stopWords;
    stopWords = false;
    stopWordsEnabled = false;
  } else {
    stopWordsEnabled = true;
    stopWords = memory_.remembered ? memory_.stopWords : false;
  }
}

void ScoringDialogRules::SetStopWordsOnly(bool ticked) {
  if (ticked == stopWordsOnly || !stopWordsOnlyEnabled) return;
  stopWordsOnly = ticked;
  stopWordsEnabled = !ticked;
  stemmedEnabled = !ticked;
  if (ticked) stopWords = true;
}

void ScoringDialogRules::SetAlphaText(const std::string& text) {
  alphaText = FilterThresholdField(text, false);
  const double value = NumericValue(alphaText);
  alpha = value > 0 ? value : 1;
}

void ScoringDialogRules::SetOneEssayText(const std::string& text) {
  if (oneWindowOpen) oneEssayText = text;
}

int ScoringDialogRules::Score() {
  options_.What = what;
  options_.Model = multinomial ? 1 : 2;
  options_.Stemmed = stemmed;
  options_.IncludeStopWords = stopWords;
  options_.IncludeCommon = common;
  options_.IncludeRare = rare;
  options_.IncludeLowInfo = lowInfo;
  options_.CodeWords = words;
  options_.CodePhrases = phrases;
  options_.CodeArguments = arguments;
  options_.ShowErrors = showErrors;
  options_.LogAll = logBox;
  options_.OneEssayText = oneWindowOpen ? oneEssayText : std::string();
  options_.Alpha = alpha > 0 ? alpha : 1;
  options_.PriorsFromTraining = priorsFromTraining;
  options_.StopWordsOnly = stopWordsOnly;
  return 1;
}

}  // namespace tarne
