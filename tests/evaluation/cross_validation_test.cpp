// Cross-validation: folds from a seed, the in-memory model against the
// project's own scoring, and a database that evaluate leaves alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "evaluation/cross_validation.h"
#include "project/settings.h"
#include "support/run_cli.h"
#include "support/temp_folder.h"

namespace tarne::testing {
namespace {

using nlohmann::json;

// A project over folders laid out as train/gK, trial/gK, trained for words
// and pairs through tarne-cli.  Answers the project file.
std::string TrainedProject(const std::string& essays, int groups, const std::string& root,
                           const std::string& home) {
  std::vector<std::string> args = {"new", "--name", "cv", "--root", root, "--groups",
                                   std::to_string(groups)};
  for (int g = 1; g <= groups; ++g) {
    args.insert(args.end(), {"--train", essays + "train/g" + std::to_string(g) + "/"});
    args.insert(args.end(), {"--trial", essays + "trial/g" + std::to_string(g) + "/"});
  }
  EXPECT_EQ(RunCli(args, home).exitCode, 0);
  const std::string project = root + "cv.trn";
  EXPECT_EQ(RunCli({"train", project, "words"}, home).exitCode, 0);
  EXPECT_EQ(RunCli({"train", project, "pairs"}, home).exitCode, 0);
  return project;
}

// For every setting score can run, the in-memory model predicts each trial
// essay's group as score --json does.
void ExpectSameAsScore(const std::string& project, const std::string& home) {
  ProjectSettings settings;
  ASSERT_TRUE(LoadProjectFile(project, settings));
  EssaySample sample;
  ASSERT_TRUE(sample.Load(settings, nullptr));
  ASSERT_FALSE(sample.Trial().empty());
  for (Model model : {Model::Multinomial, Model::Bernoulli})
    for (bool pairs : {false, true})
      for (bool rare : {true, false}) {
        const Setting setting{model, pairs, 1, rare, false};
        std::vector<std::string> args = {"score", project, "trial", "--json", "--words"};
        if (pairs) args.push_back("--phrases");
        if (model == Model::Bernoulli) args.push_back("--bernoulli");
        if (!rare) args.push_back("--no-rare");
        CliResult r = RunCli(args, home);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        std::map<std::string, int> scored;
        const json run = json::parse(r.out);
        for (const json& e : run["essays"])
          scored[e["path"].get<std::string>()] = e["predicted_group"].is_null()
                                                     ? 0
                                                     : e["predicted_group"].get<int>();
        const std::vector<int> mine = PredictTrialEssays(sample, setting, settings);
        ASSERT_EQ(mine.size(), scored.size());
        int differ = 0;
        for (size_t i = 0; i < mine.size(); ++i)
          differ += scored[sample.Trial()[i].path] != mine[i];
        EXPECT_EQ(differ, 0) << ScoreCommandLine(project, setting);
      }
}

TEST(CrossValidation, FoldsComeFromTheSeedAndKeepEachGroupsShare) {
  TempFolder home;
  const std::string project =
      TrainedProject(std::string(TARNE_SOURCE_DIR) + "/examples/", 3, home.Sub("p"), home.Path());
  ProjectSettings settings;
  ASSERT_TRUE(LoadProjectFile(project, settings));
  auto folds = [&](int k, std::uint32_t seed) {
    EssaySample sample;
    sample.Load(settings, nullptr);
    sample.AssignFolds(k, seed);
    std::vector<int> out;
    for (const SampleEssay& e : sample.Training()) out.push_back(e.fold);
    return out;
  };
  const std::vector<int> a = folds(4, 7);
  EXPECT_EQ(a, folds(4, 7));
  EXPECT_NE(a, folds(4, 8));
  // 10 essays per group over 4 folds: every fold holds 2 or 3 of each group.
  EssaySample sample;
  sample.Load(settings, nullptr);
  sample.AssignFolds(4, 7);
  int perFold[4][4] = {};
  for (const SampleEssay& e : sample.Training()) ++perFold[e.fold][e.group];
  for (int f = 0; f < 4; ++f)
    for (int g = 1; g <= 3; ++g) EXPECT_TRUE(perFold[f][g] == 2 || perFold[f][g] == 3);

  ExpectSameAsScore(project, home.Path());
}

TEST(CrossValidation, AgreesWithScoreOnRealEssays) {
  const std::string shared = SharedFolder();
  if (shared.empty() || !FileExists(shared + "data/asap/essays.tsv")) GTEST_SKIP() << "no ASAP essays";
  TempFolder home;
  const std::string essays = home.Sub("essays");
  const std::string lay = "python3 " + shared + "tools/asap-folders 1 " + essays +
                          " --limit 300 > /dev/null";
  ASSERT_EQ(std::system(lay.c_str()), 0);
  ExpectSameAsScore(TrainedProject(essays, 5, home.Sub("p"), home.Path()), home.Path());
}

TEST(CrossValidation, EvaluateLeavesTheDatabaseAloneAndRepeatsItsFigures) {
  TempFolder home;
  const std::string root = home.Sub("p");
  const std::string project =
      TrainedProject(std::string(TARNE_SOURCE_DIR) + "/examples/", 3, root, home.Path());
  const std::string before = ReadFile(root + "cv.db");
  ASSERT_FALSE(before.empty());

  CliResult first = RunCli({"evaluate", project, "--folds", "3", "--seed", "5", "--json"},
                           home.Path());
  ASSERT_EQ(first.exitCode, 0) << first.err;
  CliResult again = RunCli({"evaluate", project, "--folds", "3", "--seed", "5", "--json"},
                           home.Path());
  EXPECT_EQ(ReadFile(root + "cv.db"), before);
  EXPECT_FALSE(FileExists(root + "cv.db-journal"));

  json a = json::parse(first.out), b = json::parse(again.out);
  EXPECT_EQ(a["report"], "evaluate");
  ASSERT_EQ(a["settings"].size(), 64u);
  EXPECT_EQ(a["settings"][0]["qwk"]["folds"].size(), 3u);
  a.erase("seconds");
  b.erase("seconds");
  EXPECT_EQ(a, b);
  EXPECT_EQ(a["best"]["command"], a["settings"][0]["command"]);

  CliResult text = RunCli({"evaluate", project, "--folds", "3"}, home.Path());
  EXPECT_NE(text.out.find("Best setting, ranked by mean QWK:\n  tarne-cli score " + project),
            std::string::npos);
  EXPECT_EQ(RunCli({"evaluate", project, "--folds", "1"}, home.Path()).exitCode, 2);
  EXPECT_EQ(RunCli({"evaluate", project, "--folds", "31"}, home.Path()).exitCode, 1);
}

}  // namespace
}  // namespace tarne::testing
