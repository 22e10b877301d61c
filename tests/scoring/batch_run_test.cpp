#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "db/prepared_statement.h"
#include "scoring/early_essays.h"
#include "scoring/results.h"
#include "scoring_fixture.h"
#include "training/training.h"

namespace tarne::testing {
namespace {

const char* kCats[] = {
    "Sleepy cats rest inside the sunny garden. Small kittens chase bright butterflies near "
    "flowers. Fresh grass smells sweet after gentle rain.",
    "Garden flowers attract curious kittens every morning. Cats purr softly beside blooming "
    "roses. Butterflies dance above the quiet lawn.",
    "Kittens tumble through tall grass chasing butterflies. Sleepy cats prefer warm garden "
    "corners. Roses bloom while gentle rain falls.",
};
const char* kRockets[] = {
    "Powerful rockets launch from the desert pad. Engines burn liquid fuel with thunderous "
    "noise. Engineers watch careful telemetry screens.",
    "Rocket engines roar during every launch countdown. Engineers check fuel valves twice. "
    "Telemetry screens show climbing altitude quickly.",
    "Launch crews fuel rockets before sunrise. Thunderous engines lift heavy payloads skyward. "
    "Engineers celebrate each successful orbit.",
};

class BatchRun : public ScoringFixture {
 protected:
  void MakeTrainedProject() {
    MakeProject(2);
    for (int i = 0; i < 3; ++i) {
      train1.push_back(temp.Write("root/train/g1/cat" + std::to_string(i) + ".txt", kCats[i]));
      train2.push_back(
          temp.Write("root/train/g2/rocket" + std::to_string(i) + ".txt", kRockets[i]));
    }
    TrainKind(*session, TokenKind::Words);
    temp.Write("root/trial/g1/a_cats.txt",
               "Kittens chase butterflies across the garden. Flowers bloom beside sleepy cats.");
    temp.Write("root/trial/g1/b_rockets.txt",
               "Rockets launch with powerful engines. Engineers watch fuel telemetry.");
    temp.Write("root/trial/g2/c_rockets.txt",
               "Engineers fuel powerful rockets. Engines roar during launch countdown.");
    temp.Write("root/trial/g2/d_rockets.txt",
               "Thunderous rocket engines lift payloads. Telemetry screens show altitude.");
    port.appends.clear();
    port.pane.Clear();
    port.polls = 0;
  }

  std::vector<const RecordedProgress*> ScoringWindows() const {
    std::vector<const RecordedProgress*> out;
    for (const RecordedProgress& p : port.progress)
      if (p.caption.rfind("Scoring", 0) == 0) out.push_back(&p);
    return out;
  }

  std::vector<std::string> train1, train2;
};

const std::string kTrialTable =
    Spaces(20) + "Observed Classifications\r\n" + Spaces(24) + "      1      2\r\n" + Spaces(15) +
    "True  1        1      1\r\n" + Spaces(15) + "      2        0      2\r\n";

// The figures of that table; notScored essays could not be read or scored.
std::string TrialFigures(int notScored) {
  return Spaces(24) + "QWK =            0.500\r\n" + Spaces(24) + "Cohen's kappa =  0.500\r\n\r\n" +
         Spaces(24) + "Group  Essays  Precision  Recall      F1\r\n" + Spaces(24) +
         "    1       2      1.000   0.500   0.667\r\n" + Spaces(24) +
         "    2       2      0.667   1.000   0.800\r\n\r\n" + Spaces(24) +
         "Essays not read or scored: " + std::to_string(notScored) + "\r\n\r\n";
}

TEST_F(BatchRun, TrialRunReportAndProgress) {
  MakeTrainedProject();
  session->options.What = 1;
  ASSERT_TRUE(ScoringCommand(*session));
  EXPECT_NE(port.PaneText().find("Vocabulary size = "), std::string::npos);
  EXPECT_EQ(PaneFrom("Results for"),
            "Results for Words (Not Stemmed) (Stop Words) (Common tokens) (Rare tokens) (Low "
            "Info tokens)\r\nTRIAL essays;  Multinomial Model\r\n\r\n" +
                kTrialTable + "\r\n" + Spaces(24) + "Accuracy =         75.0%\r\n" + Spaces(24) +
                "Near Accuracy =   100.0%\r\n\r\n" + TrialFigures(0));

  std::vector<const RecordedProgress*> windows = ScoringWindows();
  ASSERT_EQ(windows.size(), 2u);
  EXPECT_EQ(windows[0]->caption,
            "Scoring Words (Not Stemmed) (Stop Words) (Common tokens) (Rare tokens) (Low Info "
            "tokens)");
  EXPECT_EQ(windows[0]->texts, (std::vector<std::string>{"Working on file 1 of  2 in set 1 of 2",
                                                         "Working on file 2 of  2 in set 1 of 2"}));
  EXPECT_EQ(windows[0]->percents, (std::vector<int>{51, 101}));
  EXPECT_EQ(windows[1]->texts[0], "Working on file 1 of  2 in set 2 of 2");
  EXPECT_TRUE(windows[0]->shutDown && windows[1]->shutDown);
  EXPECT_TRUE(port.messages.empty());
  EXPECT_FALSE(FileExists(session->settings.path2root + "proj.csv"));
}

TEST_F(BatchRun, ErrorsAndTheResultLog) {
  MakeTrainedProject();
  session->options.What = 1;
  session->options.ShowErrors = 1;
  session->options.LogAll = 1;
  ASSERT_TRUE(ScoringCommand(*session));

  ASSERT_EQ(port.errorsShown.size(), 1u);
  const ErrorEntry& e = port.errorsShown[0];
  EXPECT_EQ(e.path, session->settings.path2trial[0] + "b_rockets.txt");
  EXPECT_EQ(e.trueGroup, 1);
  EXPECT_EQ(e.probabilities.substr(0, 9), "   1    2");
  EXPECT_EQ(e.probabilities.size(), 9u + 2 * 8);

  std::istringstream log(temp.Read("root/proj.csv"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(log, line);) {
    ASSERT_FALSE(line.empty());
    EXPECT_NE(line.back(), '\r');
    lines.push_back(line);
  }
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0] + "\n", ResultLogHeader());
  EXPECT_EQ(lines[1].rfind("\"a_cats.txt\",\"trial\",1,1,", 0), 0u);
  EXPECT_EQ(lines[2].rfind("\"b_rockets.txt\",\"trial\",1,2,", 0), 0u);
  EXPECT_EQ(lines[4].rfind("\"d_rockets.txt\",\"trial\",2,2,", 0), 0u);
  for (size_t i = 1; i < lines.size(); ++i) {
    int commas = 0;
    for (char c : lines[i]) commas += c == ',';
    EXPECT_EQ(commas, 14) << lines[i];
    EXPECT_NE(lines[i].find(",0,0,0,\"Multinomial\",0,1,1,1,0"), std::string::npos) << lines[i];
  }
}

TEST_F(BatchRun, NoErrorsIsSaid) {
  MakeTrainedProject();
  temp.Write("root/trial/g1/b_rockets.txt", "Sleepy kittens chase butterflies. Garden roses bloom.");
  session->options.What = 1;
  session->options.ShowErrors = 1;
  ScoringCommand(*session);
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "No errors");
  EXPECT_EQ(port.messages[0].caption, "Error analysis");
  EXPECT_TRUE(port.errorsShown.empty());
}

TEST_F(BatchRun, CancelEndsOnlyTheCurrentSet) {
  MakeTrainedProject();
  session->options.What = 1;
  port.cancelAtPoll = 5;  // the first poll of set 2 (two polls per essay)
  ScoringCommand(*session);
  EXPECT_NE(port.PaneText().find(Spaces(15) + "True  1        1      1\r\n" + Spaces(15) +
                                 "      2        0      0\r\n"),
            std::string::npos);
  EXPECT_NE(port.PaneText().find("Accuracy =         50.0%"), std::string::npos);
}

TEST_F(BatchRun, TrainRunUsesCalibAndUntrainsFlaggedEssays) {
  MakeTrainedProject();
  // A rocket essay filed under group 1 is misclassified against its own label.
  std::string misfiled = temp.Write("root/train/g1/zz_rocket.txt", kRockets[1]);
  TrainKind(*session, TokenKind::Words);
  port.pane.Clear();
  session->options.What = 2;
  session->options.ShowErrors = 1;
  port.errorAnalysisAnswer = 1;
  port.errorAnalysisFlagged = {FlaggedFileItem(1, misfiled)};
  ScoringCommand(*session);

  EXPECT_NE(PaneFrom("Results for").find("\r\nTRAINING essays;  Multinomial Model\r\n"),
            std::string::npos);
  ASSERT_EQ(port.errorsShown.size(), 1u);
  EXPECT_EQ(port.errorsShown[0].path, misfiled);
  EXPECT_EQ(Count("select count(filen) from calib where isinwords=1"), 6u);
  EXPECT_EQ(Count("select isinwords from calib where filen='" + misfiled + "'"), 0u);
}

TEST_F(BatchRun, TrainRunSkipsFilesWithoutWordsAndCountsUnreadableOnesApart) {
  MakeTrainedProject();
  Sql("UPDATE calib SET isinwords=0 WHERE gr=1");
  std::remove(train2[1].c_str());
  session->options.What = 2;
  session->options.LogAll = 1;
  ScoringCommand(*session);
  // Group 1 has no essay left; the unreadable essay of group 2 is no guess
  // of group 1 but stays out of the table and the log.
  EXPECT_NE(port.PaneText().find(Spaces(15) + "True  1        0      0\r\n" + Spaces(15) +
                                 "      2        0      2\r\n"),
            std::string::npos);
  EXPECT_NE(port.PaneText().find(
                "Essays not read or scored: 1\r\n\r\n"
                "1 essays could not be read and were not scored (see the project log)\r\n"),
            std::string::npos);
  EXPECT_EQ(std::count(port.logLines.begin(), port.logLines.end(),
                       "Could not read file " + train2[1]),
            1);
  const std::string log = temp.Read("root/proj.csv");
  EXPECT_EQ(log.find("\"" + train2[1] + "\""), std::string::npos);
}

TEST_F(BatchRun, FileThatIsNoTextIsNotScoredAndNamedAfterTheTotals) {
  MakeTrainedProject();
  const std::string binary =
      temp.Write("root/trial/g2/scan.pdf", std::string(40, '\0') + "\x01\x02%PDF");
  session->options.What = 1;
  ASSERT_TRUE(ScoringCommand(*session));
  // The same table as without the file, then the file named.
  EXPECT_EQ(PaneFrom(kTrialTable), kTrialTable + "\r\n" + Spaces(24) +
                                       "Accuracy =         75.0%\r\n" + Spaces(24) +
                                       "Near Accuracy =   100.0%\r\n\r\n" + TrialFigures(1) +
                                       "Not a text file: " +
                                       binary + "\r\n");
}

// Essays are classified many at a time on more than one thread; the run
// must still give each one what classifying it alone gives, in order, and
// leave the work column as the last essay's scoring would.
TEST_F(BatchRun, ManyEssaysGetWhatEachGetsAlone) {
  MakeTrainedProject();
  TrainKind(*session, TokenKind::Pairs);
  std::vector<std::string> texts;
  for (int i = 0; i < 75; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "root/trial/g1/e%03d.txt", i);
    if (i == 31 || i == 64) {
      temp.Write(name, std::string(40, '\0') + "\x01\x02%PDF");
      continue;
    }
    const std::string text = std::string(kCats[i % 3]) + " " + kRockets[(i / 3) % 3] +
                             (i % 2 ? " Sleepy kittens chase rockets." : "");
    temp.Write(name, text);
    texts.push_back(text);
  }
  session->options.What = 1;
  session->options.CodePhrases = 1;
  RunResult result;
  ASSERT_TRUE(ScoringCommand(*session, result));
  const auto marks = [this] {
    std::string rows;
    PreparedStatement read(session->db,
                           "select rowid, thisessay from run1 where thisessay<>0 order by rowid");
    while (read.Step())
      rows += std::to_string(read.Int(0)) + ":" + std::to_string(read.Int(1)) + " ";
    return rows;
  };
  const std::string leftByRun = marks();
  ASSERT_NE(leftByRun, "");

  // Group 1's a_cats and b_rockets come first; group 2's two essays last.
  ASSERT_EQ(result.essays.size(), texts.size() + 4);
  for (size_t i = 0; i < texts.size(); ++i) {
    GroupScores alone;
    std::string listing;
    ClassifyEssay(*session, texts[i], 1, 1, 0, 0, listing, alone);
    for (int g = 1; g <= 2; ++g)
      EXPECT_EQ(result.essays[i + 2].probability[g], static_cast<double>(alone.value[g])) << i;
  }
  // The run ends with group 2's last essay.
  GroupScores last;
  std::string listing;
  ClassifyEssay(*session, temp.Read("root/trial/g2/d_rockets.txt"), 1, 1, 0, 0, listing, last);
  EXPECT_EQ(leftByRun, marks());
}

// Essays classified early are taken as long as their paths are the run's,
// in order; from the first that differs the run classifies itself.
TEST_F(BatchRun, EssaysClassifiedEarlyAreTakenWhileTheirPathsAgree) {
  MakeTrainedProject();
  session->options.What = 1;
  const std::string g1 = session->settings.path2trial[0];
  EarlyResults early;
  early.paths = {{JoinPath(g1, "a_cats.txt"), JoinPath(g1, "elsewhere.txt")}, {}};
  early.results.resize(2);
  early.results[0].resize(2);
  for (Classified& c : early.results[0]) {
    c.text = "Kittens.";
    c.scores.value[1] = 0.25;
    c.scores.value[2] = 0.75;
  }
  ScoringRun run(*session);
  RunResult result;
  ASSERT_TRUE(BatchScoringRun(*session, result, run, &early, nullptr));
  ASSERT_EQ(result.essays.size(), 4u);
  EXPECT_EQ(result.essays[0].probability[2], 0.75);  // taken
  EXPECT_EQ(result.essays[0].predicted, 2);
  EXPECT_NE(result.essays[1].probability[2], 0.75);  // b_rockets is not elsewhere
}

TEST_F(BatchRun, NewRunAlwaysUnderGroupOne) {
  MakeTrainedProject();
  temp.Write("root/new/x.txt", "Kittens chase butterflies across the garden.");
  temp.Write("root/new/y.txt", "Engineers fuel powerful rockets before launch.");
  session->options.What = 3;
  session->options.LogAll = 1;
  session->options.ShowErrors = 0;
  ScoringCommand(*session);
  EXPECT_EQ(PaneFrom("Results for").substr(PaneFrom("Results for").find("\r\n") + 2),
            "new essays;  Multinomial Model\r\n\r\n" + Spaces(20) +
                "Observed Classifications\r\n" + Spaces(24) + "      1      2\r\n" + Spaces(25) +
                "      1      1\r\n\r\nResults are in file " + session->settings.path2root +
                "projnew.csv\r\n\r\n");
  const std::string log = temp.Read("root/projnew.csv");
  EXPECT_NE(log.find("\"x.txt\",\"new\",0,1,"), std::string::npos);
  EXPECT_NE(log.find("\"y.txt\",\"new\",0,2,"), std::string::npos);
}

TEST_F(BatchRun, BernoulliStemmedPhrasesRun) {
  MakeTrainedProject();
  TrainKind(*session, TokenKind::Pairs);
  ScoringOptions& o = session->options;
  o.What = 1;
  o.Model = 2;
  o.CodeWords = 1;
  o.CodePhrases = 1;
  o.Stemmed = 1;
  o.IncludeStopWords = 0;
  ScoringCommand(*session);
  EXPECT_NE(PaneFrom("Results for")
                .find("Results for Words Phrases (Stemmed) (No Stop Words) (Common tokens) "
                      "(Rare tokens) (Low Info tokens)\r\nTRIAL essays;  Multivariate "
                      "Bernoulli Model\r\n"),
            std::string::npos);
  EXPECT_NE(port.PaneText().find("Accuracy =         75.0%"), std::string::npos);
}

TEST_F(BatchRun, NothingTrainedIsSaidOnceAndNothingIsScored) {
  MakeProject(2);
  temp.Write("root/trial/g1/a.txt", "Kittens chase butterflies across the garden.");
  temp.Write("root/trial/g2/b.txt", "Engineers fuel powerful rockets.");
  session->options.What = 1;
  session->options.CodePhrases = 1;
  EXPECT_FALSE(ScoringCommand(*session));
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "Database error. Nothing trained?");
  EXPECT_EQ(port.PaneText().find("Results for"), std::string::npos);
}

TEST_F(BatchRun, ScoringCommandChecks) {
  MakeTrainedProject();
  ScoringOptions& o = session->options;
  o.What = 4;
  o.OneEssayText.clear();
  EXPECT_FALSE(ScoringCommand(*session));
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "You need to enter text");
  EXPECT_EQ(port.messages[0].caption, "Tarne");
  EXPECT_TRUE(port.PaneText().empty());

  o.CodeWords = 0;
  o.OneEssayText = "Kittens chase butterflies across the garden. Sleepy cats purr softly.";
  EXPECT_TRUE(ScoringCommand(*session));
  EXPECT_EQ(o.CodeWords, 1);
  const std::string verdict = PaneFrom("According to my calculations:");
  EXPECT_NE(verdict.find("Therefore, I am very certain that the essay belongs in group 1\r\n"),
            std::string::npos);
  EXPECT_NE(verdict.find("Token                       Freq/1000          Odds for Group\r\n"),
            std::string::npos);
  EXPECT_NE(verdict.find("\r\nkittens "), std::string::npos);
  EXPECT_NE(verdict.find("---------------\r\n" + o.OneEssayText + "\r\n\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace tarne::testing
