// tarne-cli's scoring commands, run as a child process with a temporary
// configuration folder.
#include <gtest/gtest.h>

#include <fstream>

#include <nlohmann/json.hpp>
#include <string>

#include "scoring/results.h"
#include "support/run_cli.h"
#include "support/temp_folder.h"

namespace tarne::testing {
namespace {

TEST(CliScoring, DemoRunsTheWholeJobAndLeavesAProjectToScore) {
  TempFolder home;
  TempFolder work;
  const std::string dir = work.Path() + "demo";
  CliResult demo = RunCli({"demo", dir}, home.Path());
  ASSERT_EQ(demo.exitCode, 0) << demo.err;
  EXPECT_NE(demo.out.find("Demo project in " + dir + "/"), std::string::npos);
  EXPECT_NE(demo.out.find("Database Statistics  Project demo"), std::string::npos);
  EXPECT_NE(demo.out.find("Results for Words Phrases (Not Stemmed)"), std::string::npos);
  EXPECT_NE(demo.out.find("Accuracy = "), std::string::npos);
  EXPECT_NE(demo.out.find("According to my calculations:"), std::string::npos);
  EXPECT_NE(demo.out.find("Top Words\n"), std::string::npos);
  EXPECT_NE(demo.out.find("Top Phrases\n"), std::string::npos);

  const std::string project = dir + "/demo.trn";
  CliResult bernoulli = RunCli({"score", project, "trial", "--bernoulli", "--log", "--show-errors"},
                               home.Path());
  EXPECT_EQ(bernoulli.exitCode, 0) << bernoulli.err;
  EXPECT_NE(bernoulli.out.find("TRIAL essays;  Multivariate Bernoulli Model"), std::string::npos);
  EXPECT_TRUE(FileExists(dir + "/demo.csv"));

  CliResult one = RunCli({"score", project, "one", "-"}, home.Path(),
                         "Students need more sleep in the morning before classes begin.");
  EXPECT_EQ(one.exitCode, 0) << one.err;
  EXPECT_NE(one.out.find("According to my calculations:"), std::string::npos);

  CliResult empty = RunCli({"score", project, "one", "-"}, home.Path(), "");
  EXPECT_EQ(empty.exitCode, 1);
  EXPECT_NE(empty.err.find("You need to enter text"), std::string::npos);

  CliResult stats = RunCli({"stats", project}, home.Path());
  EXPECT_EQ(stats.exitCode, 0);
  EXPECT_EQ(stats.out.rfind("Database Statistics  Project demo", 0), 0u);

  CliResult top = RunCli({"top", project, "pairs"}, home.Path());
  EXPECT_EQ(top.exitCode, 0);
  EXPECT_NE(top.out.find("Top Phrases\n"), std::string::npos);
}

TEST(CliScoring, CountingRulesAndModelSettingsFromNewToTheResultLog) {
  TempFolder home;
  TempFolder work;
  const std::string essays = std::string(TARNE_SOURCE_DIR) + "/examples/";
  std::vector<std::string> create = {"new", "--name", "q", "--root", work.Path(), "--groups", "3",
                                     "--all-sentences", "--min-word-length", "2"};
  for (const char* g : {"g1", "g2", "g3"})
    create.insert(create.end(), {"--train", essays + "train/" + g + "/", "--trial",
                                 essays + "trial/" + g + "/"});
  ASSERT_EQ(RunCli(create, home.Path()).exitCode, 0);
  const std::string project = work.Path() + "q.trn";
  const std::string file = ReadFile(project);
  EXPECT_NE(file.find("wkeep= 0\r\nallsentences= 1\r\nminwordlength= 2\r\n"), std::string::npos);
  ASSERT_EQ(RunCli({"train", project, "words"}, home.Path()).exitCode, 0);

  CliResult r = RunCli({"score", project, "trial", "--bernoulli", "--alpha", "0.1",
                        "--priors-from-training", "--log"},
                       home.Path());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("(Low Info tokens) (Smoothing .1) (Priors from training)\n"),
            std::string::npos);
  const std::string log = ReadFile(work.Path() + "q.csv");
  EXPECT_NE(log.find("\"AllSentences\",\"MinWordLength\"\n"), std::string::npos);
  EXPECT_NE(log.find(",\"Bernoulli\",0,1,1,1,0,0,1,1,0,.1,\"training\",1,2\n"), std::string::npos);
  CliResult json = RunCli({"score", project, "trial", "--alpha", "0.5", "--json"}, home.Path());
  const auto settings = nlohmann::json::parse(json.out)["settings"];
  EXPECT_EQ(settings["alpha"], 0.5);
  EXPECT_EQ(settings["counting_rules"]["min_word_length"], 2);

  // Settings that cannot be met are usage errors; no project is needed.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"score", project, "trial", "--alpha", "0"},
        {"score", project, "trial", "--alpha", "one"},
        {"score", project, "trial", "--stop-words-only", "--stemmed"},
        {"new", "--name", "x", "--root", work.Path(), "--groups", "2", "--train", "a", "--train",
         "b", "--trial", "c", "--trial", "d", "--min-word-length", "1"}}) {
    CliResult bad = RunCli(args, home.Path());
    EXPECT_EQ(bad.exitCode, 2) << args[3];
    EXPECT_EQ(bad.err.rfind("tarne-cli: ", 0), 0u) << bad.err;
  }
}

// --json puts one document on standard output and nothing else; its table,
// essays and figures must tell the same story.
TEST(CliScoring, JsonResultsParseBackAndAgree) {
  TempFolder home;
  TempFolder work;
  const std::string dir = work.Path() + "demo";
  ASSERT_EQ(RunCli({"demo", dir}, home.Path()).exitCode, 0);
  const std::string project = dir + "/demo.trn";
  using nlohmann::json;

  CliResult score = RunCli({"score", project, "trial", "--bernoulli", "--show-errors", "--json"},
                           home.Path());
  ASSERT_EQ(score.exitCode, 0) << score.err;
  const json run = json::parse(score.out);  // throws on anything but one document
  EXPECT_EQ(run["format"], 1);
  EXPECT_EQ(run["collection"], "trial");
  EXPECT_EQ(run["settings"]["model"], "bernoulli");
  ConfusionTable table;
  for (const json& e : run["essays"]) {
    ASSERT_EQ(e["probabilities"].size(), 3u);
    ++table.count[e["true_group"].get<int>()][e["predicted_group"].get<int>()];
  }
  for (int s = 1; s <= 3; ++s)
    for (int g = 1; g <= 3; ++g)
      EXPECT_EQ(run["observed_by_predicted"][s - 1][g - 1], table.count[s][g]);
  EXPECT_DOUBLE_EQ(run["figures"]["qwk"].get<double>(), Kappa(table, 3, true));
  EXPECT_EQ(run["figures"]["scored"], run["essays"].size());

  CliResult one = RunCli({"score", project, "one", "-", "--json"}, home.Path(),
                         "Students need more sleep in the morning before classes begin.");
  ASSERT_EQ(one.exitCode, 0) << one.err;
  EXPECT_EQ(json::parse(one.out)["essays"][0]["file"], "-");

  CliResult stats = RunCli({"stats", project, "--json"}, home.Path());
  const json s = json::parse(stats.out);
  EXPECT_EQ(s["trained_essays"], json({10, 10, 10}));
  EXPECT_GT(s["unstemmed"]["total"]["words"]["distinct"].get<int>(), 0);

  CliResult top = RunCli({"top", project, "words", "--json"}, home.Path());
  const json t = json::parse(top.out);
  ASSERT_FALSE(t["tokens"].empty());
  EXPECT_LE(t["tokens"].size(), 100u);
  EXPECT_GE(t["tokens"][0]["info_gain"].get<double>(), t["tokens"].back()["info_gain"].get<double>());

  // Named groups: JSON names them; the text report keeps its numbers.
  EXPECT_EQ(s["group_names"], json({nullptr, nullptr, nullptr}));
  const CliResult plain = RunCli({"score", project, "trial"}, home.Path());
  { std::ofstream(project, std::ios::app) << "groupname1=weak\r\ngroupname3=strong\r\n"; }
  const json named = json::parse(RunCli({"score", project, "trial", "--json"}, home.Path()).out);
  EXPECT_EQ(named["group_names"], json({"weak", nullptr, "strong"}));
  EXPECT_EQ(json::parse(RunCli({"stats", project, "--json"}, home.Path()).out)["group_names"][2],
            "strong");
  EXPECT_EQ(RunCli({"score", project, "trial"}, home.Path()).out, plain.out);
}

TEST(CliScoring, UsageErrorsAndHelp) {
  TempFolder home;
  for (const char* command : {"score", "stats", "top", "demo"}) {
    CliResult r = RunCli({command, "--help"}, home.Path());
    EXPECT_EQ(r.exitCode, 0) << command;
    EXPECT_NE(r.out.find("usage"), std::string::npos) << command;
  }
  EXPECT_EQ(RunCli({"score", "p.trn", "sideways"}, home.Path()).exitCode, 2);
  EXPECT_EQ(RunCli({"score", "p.trn", "one"}, home.Path()).exitCode, 2);
  EXPECT_EQ(RunCli({"score", "p.trn", "trial", "--untrain-flagged"}, home.Path()).exitCode, 2);
  EXPECT_EQ(RunCli({"score", "p.trn", "trial", "--frobnicate"}, home.Path()).exitCode, 2);
  EXPECT_EQ(RunCli({"top", "p.trn", "nouns"}, home.Path()).exitCode, 2);
  EXPECT_EQ(RunCli({"stats"}, home.Path()).exitCode, 2);
  // A project that does not exist fails with a message.
  EXPECT_EQ(RunCli({"stats", home.Path() + "none.trn"}, home.Path()).exitCode, 1);
}

}  // namespace
}  // namespace tarne::testing
