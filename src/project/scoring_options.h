// The program-wide scoring options, with their values at program start.
#pragma once

#include <string>

namespace tarne {

struct ScoringOptions {
  int What = 0;              // 1 Trial, 2 Train, 3 New, 4 One
  int Model = 1;             // 1 multinomial, 2 multivariate Bernoulli
  int Stemmed = 0;           // 1 selects the stem table
  int IncludeStopWords = 1;
  int IncludeCommon = 1;
  int IncludeRare = 1;
  int IncludeLowInfo = 1;
  int CodeWords = 1;
  int CodePhrases = 0;
  int CodeArguments = 0;
  int SentenceArguments = 0;
  int ShowErrors = 0;
  int LogAll = 0;
  std::string OneEssayText;
  // Model settings that need no retraining.  Their values here give the
  // classic probabilities exactly.
  double Alpha = 1;            // smoothing of either model, above 0
  int PriorsFromTraining = 0;  // priors in proportion to the essays trained per group
  int StopWordsOnly = 0;       // only tokens of the stop list take part

  // Whether every model setting is the classic one.
  bool ClassicSettings() const { return Alpha == 1 && !PriorsFromTraining && !StopWordsOnly; }
};

}  // namespace tarne
