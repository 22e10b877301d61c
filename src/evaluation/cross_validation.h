// Cross-validation of a grid of settings over a project's training essays:
// K stratified folds from a seed, each setting trained on K-1 folds in memory
// and scored on the one held out.  The project's database is never opened.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "evaluation/fold_model.h"

namespace tarne {

struct Session;
struct ProjectSettings;

// Both models; words, words and pairs; smoothing 1, .3, .1, .03; with and
// without rare tokens; project priors and priors from training.
std::vector<Setting> SettingGrid();

// The `tarne-cli score` line that scores with setting.
std::string ScoreCommandLine(const std::string& projectFile, const Setting& setting);

struct FoldFigures {
  double accuracy = 0;  // 0..1
  double qwk = 0;       // NaN when undefined
};

struct SettingFigures {
  Setting setting;
  std::vector<FoldFigures> folds;
  double accuracyMean = 0, accuracySpread = 0;  // spread: sample standard deviation
  double qwkMean = 0, qwkSpread = 0;
};

struct EvaluationResult {
  std::string project;      // short name
  std::string projectFile;  // as given
  int groups = 0;
  int folds = 0;
  std::uint32_t seed = 0;
  int essays = 0;  // training essays in the folds
  int notRead = 0;
  int shortEssays = 0;
  std::vector<SettingFigures> ranked;  // best first: mean QWK, then mean accuracy
  // The best setting trained on every training essay and scored on the
  // trial essays (essays 0 when the project has none).
  int trialEssays = 0;
  double trialAccuracy = 0, trialQwk = 0;
  double seconds = 0;
};

// The groups a setting predicts for the sample's trial essays (in the
// sample's order), trained on every training essay.
std::vector<int> PredictTrialEssays(const EssaySample& sample, const Setting& setting,
                                    const ProjectSettings& settings);

// Runs the grid; answers false when cancelled (the user pressed Cancel or
// Ctrl-C) or the project has too few essays (the user has been told).
bool CrossValidate(Session& session, const std::string& projectFile, int folds,
                   std::uint32_t seed, EvaluationResult& result);

// The report: the ranked table and the best setting as a command line.
std::string EvaluationText(const EvaluationResult& result);
std::string EvaluationJson(const EvaluationResult& result);

}  // namespace tarne
