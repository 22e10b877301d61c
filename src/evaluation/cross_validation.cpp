#include "evaluation/cross_validation.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>

#include "project/session.h"
#include "scoring/results.h"
#include "scoring/results_json.h"
#include "shell/numbers.h"

namespace tarne {

namespace {

const double kAlphas[] = {1, 0.3, 0.1, 0.03};

std::string KindsName(const Setting& s) { return s.pairs ? "words+pairs" : "words"; }

void MeanAndSpread(const std::vector<double>& values, double& mean, double& spread) {
  mean = spread = 0;
  int n = 0;
  for (double v : values)
    if (!std::isnan(v)) {
      mean += v;
      ++n;
    }
  if (n == 0) {
    mean = spread = std::nan("");
    return;
  }
  mean /= n;
  for (double v : values)
    if (!std::isnan(v)) spread += (v - mean) * (v - mean);
  spread = n > 1 ? std::sqrt(spread / (n - 1)) : 0;
}

// Scores essays with one setting's models; answers the figures of the table.
FoldFigures Figure(const ConfusionTable& table, int groups) {
  const Figures f = ComputeFigures(table, groups);
  return {f.accuracy / 100, f.qwk};
}

// The models of one setting over counts, and the figures of essays scored
// with them (those of fold heldOut, or all when heldOut is -1).
class SettingRun {
 public:
  SettingRun(const FoldCounts* const (&counts)[kSampleKinds], const Setting& setting,
             double rare, const std::vector<double>& projectPriors) {
    for (int slot = 0; slot < kSampleKinds; ++slot) {
      if (slot == 1 && !setting.pairs) continue;
      models_[slot] = std::make_unique<KindProbabilities>(*counts[slot], setting, rare);
      kinds_[slot] = models_[slot].get();
    }
    priors_ = SettingPriors(setting, projectPriors, *counts[0]);
    groups_ = counts[0]->Groups();
  }
  int Predict(const SampleEssay& essay) const {
    return PredictEssay(essay, kinds_, priors_, groups_);
  }
  FoldFigures Score(const std::vector<SampleEssay>& essays, int heldOut, int* scored = nullptr) {
    ConfusionTable table;
    for (const SampleEssay& e : essays)
      if (heldOut < 0 || e.fold == heldOut)
        ++table.count[e.group][PredictEssay(e, kinds_, priors_, groups_)];
    if (scored) *scored = ComputeFigures(table, groups_).scored;
    return Figure(table, groups_);
  }

 private:
  std::unique_ptr<KindProbabilities> models_[kSampleKinds];
  const KindProbabilities* kinds_[kSampleKinds] = {nullptr, nullptr};
  std::vector<double> priors_;
  int groups_ = 0;
};

std::string Fixed(double value, const char* format) {
  if (std::isnan(value)) return "n/a";
  char buf[32];
  std::snprintf(buf, sizeof buf, format, value);
  return buf;
}

std::string Cell(const std::string& text, size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

}  // namespace

std::vector<Setting> SettingGrid() {
  std::vector<Setting> grid;
  for (Model model : {Model::Multinomial, Model::Bernoulli})
    for (bool pairs : {false, true})
      for (double alpha : kAlphas)
        for (bool rare : {true, false})
          for (bool training : {false, true}) grid.push_back({model, pairs, alpha, rare, training});
  return grid;
}

std::string ScoreCommandLine(const std::string& projectFile, const Setting& s) {
  std::string line = "tarne-cli score " + projectFile + " trial";
  if (s.model == Model::Bernoulli) line += " --bernoulli";
  line += s.pairs ? " --words --phrases" : " --words";
  if (s.alpha != 1) line += " --alpha " + TrimmedNumber(s.alpha);
  if (!s.rare) line += " --no-rare";
  if (s.trainingPriors) line += " --priors-from-training";
  return line;
}

std::vector<int> PredictTrialEssays(const EssaySample& sample, const Setting& setting,
                                    const ProjectSettings& settings) {
  const FoldCounts words(sample, 0, -1), pairs(sample, 1, -1);
  const FoldCounts* const counts[kSampleKinds] = {&words, &pairs};
  SettingRun run(counts, setting, settings.rare, settings.priors);
  std::vector<int> out;
  for (const SampleEssay& e : sample.Trial()) out.push_back(run.Predict(e));
  return out;
}

bool CrossValidate(Session& session, const std::string& projectFile, int folds,
                   std::uint32_t seed, EvaluationResult& result) {
  const auto started = std::chrono::steady_clock::now();
  Port& port = session.port;
  const ProjectSettings& settings = session.settings;
  result = EvaluationResult();
  result.project = settings.sname;
  result.projectFile = projectFile;
  result.groups = settings.Groups();
  result.folds = folds;
  result.seed = seed;

  EssaySample sample;
  ProgressHandle window = port.PROGRESS_INIT("Reading essays");
  if (window == 0) return false;
  const bool read = sample.Load(settings, [&](int done, int total) {
    port.ProcessPendingMessages();
    if (port.PROGESS_IS_CANCELLED(window)) return false;
    if (total > 0 && done % 50 == 0)
      port.PROGRESS_SET(window, done * 100 / total + 1,
                        "Reading essay " + TrimmedNumber(done + 1) + " of " + TrimmedNumber(total));
    return true;
  });
  port.PROGRESS_SHUTDOWN(window);
  if (!read) return false;
  result.essays = static_cast<int>(sample.Training().size());
  result.notRead = sample.NotRead();
  result.shortEssays = sample.Short();
  if (result.essays < folds) {
    session.Message("The project has " + TrimmedNumber(result.essays) +
                        " training essays: too few for " + TrimmedNumber(folds) + " folds",
                    kProgramName, Buttons::Ok, Icon::Exclamation);
    return false;
  }
  sample.AssignFolds(folds, seed);

  const std::vector<Setting> grid = SettingGrid();
  std::vector<SettingFigures> figures(grid.size());
  for (size_t i = 0; i < grid.size(); ++i) figures[i].setting = grid[i];
  window = port.PROGRESS_INIT("Comparing settings");
  if (window == 0) return false;
  const int steps = folds * static_cast<int>(grid.size());
  bool cancelled = false;
  for (int fold = 0; fold < folds && !cancelled; ++fold) {
    // Each essay was counted once; a fold's counts leave its essays out.
    const FoldCounts words(sample, 0, fold), pairs(sample, 1, fold);
    const FoldCounts* const counts[kSampleKinds] = {&words, &pairs};
    for (size_t i = 0; i < grid.size(); ++i) {
      port.ProcessPendingMessages();
      if (port.PROGESS_IS_CANCELLED(window)) {
        cancelled = true;
        break;
      }
      const int step = fold * static_cast<int>(grid.size()) + static_cast<int>(i);
      port.PROGRESS_SET(window, step * 100 / steps + 1,
                        "Fold " + TrimmedNumber(fold + 1) + " of " + TrimmedNumber(folds) +
                            ", setting " + TrimmedNumber(static_cast<double>(i + 1)) + " of " +
                            TrimmedNumber(static_cast<double>(grid.size())));
      SettingRun run(counts, grid[i], settings.rare, settings.priors);
      figures[i].folds.push_back(run.Score(sample.Training(), fold));
    }
  }
  port.PROGRESS_SHUTDOWN(window);
  if (cancelled) return false;

  for (SettingFigures& f : figures) {
    std::vector<double> acc, qwk;
    for (const FoldFigures& ff : f.folds) {
      acc.push_back(ff.accuracy);
      qwk.push_back(ff.qwk);
    }
    MeanAndSpread(acc, f.accuracyMean, f.accuracySpread);
    MeanAndSpread(qwk, f.qwkMean, f.qwkSpread);
  }
  std::stable_sort(figures.begin(), figures.end(),
                   [](const SettingFigures& a, const SettingFigures& b) {
                     const double qa = std::isnan(a.qwkMean) ? -2 : a.qwkMean;
                     const double qb = std::isnan(b.qwkMean) ? -2 : b.qwkMean;
                     if (qa != qb) return qa > qb;
                     return a.accuracyMean > b.accuracyMean;
                   });
  result.ranked = std::move(figures);

  if (!sample.Trial().empty()) {
    const FoldCounts words(sample, 0, -1), pairs(sample, 1, -1);
    const FoldCounts* const counts[kSampleKinds] = {&words, &pairs};
    SettingRun best(counts, result.ranked.front().setting, settings.rare, settings.priors);
    const FoldFigures trial = best.Score(sample.Trial(), -1, &result.trialEssays);
    result.trialAccuracy = trial.accuracy;
    result.trialQwk = trial.qwk;
  }
  result.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return true;
}

std::string EvaluationText(const EvaluationResult& r) {
  std::string text = "Cross-validation  Project " + r.project + "  " + TrimmedNumber(r.folds) +
                     " folds, seed " + TrimmedNumber(r.seed) + ", " + TrimmedNumber(r.essays) +
                     " training essays, " + TrimmedNumber(static_cast<double>(r.ranked.size())) +
                     " settings\r\n";
  if (r.notRead > 0 || r.shortEssays > 0)
    text += TrimmedNumber(r.notRead) + " essays could not be read, " +
            TrimmedNumber(r.shortEssays) + " were too short to train\r\n";
  text += "\r\nRank  Model        Kinds        Smoothing  Rare   Priors      Accuracy (sd)       "
          "QWK (sd)\r\n";
  int rank = 0;
  for (const SettingFigures& f : r.ranked) {
    const Setting& s = f.setting;
    char head[96];
    std::snprintf(head, sizeof head, "%4d  %-12s %-12s %9s  %-5s  %-9s", ++rank, Name(s.model),
                  KindsName(s).c_str(), TrimmedNumber(s.alpha).c_str(), s.rare ? "yes" : "no",
                  s.trainingPriors ? "training" : "project");
    text += head + Cell(Fixed(100 * f.accuracyMean, "%.1f%%"), 11) + " (" +
            Cell(Fixed(100 * f.accuracySpread, "%.1f"), 4) + ")" +
            Cell(Fixed(f.qwkMean, "%.3f"), 10) + " (" + Cell(Fixed(f.qwkSpread, "%.3f"), 5) +
            ")\r\n";
  }
  text += "\r\nBest setting, ranked by mean QWK:\r\n  " +
          ScoreCommandLine(r.projectFile, r.ranked.front().setting) + "\r\n";
  if (r.trialEssays > 0)
    text += "Trained on every training essay, it scores the " + TrimmedNumber(r.trialEssays) +
            " trial essays with accuracy " + Fixed(100 * r.trialAccuracy, "%.1f%%") +
            " and QWK " + Fixed(r.trialQwk, "%.3f") + "\r\n";
  return text + "\r\n";
}

std::string EvaluationJson(const EvaluationResult& r) {
  using json = nlohmann::ordered_json;
  auto real = [](double v) { return std::isnan(v) ? json(nullptr) : json(v); };
  auto setting = [&](const Setting& s) {
    return json{{"model", Name(s.model)},
                {"kinds", s.pairs ? json({"words", "pairs"}) : json({"words"})},
                {"alpha", s.alpha},
                {"rare_tokens", s.rare},
                {"priors", s.trainingPriors ? "training" : "project"},
                {"command", ScoreCommandLine(r.projectFile, s)}};
  };
  json ranked = json::array();
  int rank = 0;
  for (const SettingFigures& f : r.ranked) {
    json acc = json::array(), qwk = json::array();
    for (const FoldFigures& ff : f.folds) {
      acc.push_back(ff.accuracy);
      qwk.push_back(real(ff.qwk));
    }
    json entry = {{"rank", ++rank}};
    entry.update(setting(f.setting));
    entry["accuracy"] = {{"mean", real(f.accuracyMean)}, {"sd", real(f.accuracySpread)},
                         {"folds", acc}};
    entry["qwk"] = {{"mean", real(f.qwkMean)}, {"sd", real(f.qwkSpread)}, {"folds", qwk}};
    ranked.push_back(entry);
  }
  json best = setting(r.ranked.front().setting);
  best["trial"] = r.trialEssays > 0 ? json{{"essays", r.trialEssays},
                                            {"accuracy", r.trialAccuracy},
                                            {"qwk", real(r.trialQwk)}}
                                     : json(nullptr);
  json doc = {{"format", kJsonFormat}, {"report", "evaluate"}, {"project", r.project},
              {"groups", r.groups},    {"folds", r.folds},     {"seed", r.seed},
              {"essays", r.essays},    {"not_read", r.notRead}, {"too_short", r.shortEssays},
              {"seconds", r.seconds},  {"settings", ranked},   {"best", best}};
  return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace tarne
