#include <string>

#include "scoring_fixture.h"

namespace tarne::testing {
namespace {

GroupScores Scores(long double a, long double b, long double c = 0) {
  GroupScores s;
  s.value[1] = a;
  s.value[2] = b;
  s.value[3] = c;
  return s;
}

TEST(ObservedClassifications, AccuracyAndNearAccuracy) {
  ConfusionTable t;
  ++t.count[1][1];
  ++t.count[1][2];
  ++t.count[2][3];
  ++t.count[3][1];
  ++t.count[2][0];  // no prediction: not counted
  Accuracy a = ComputeAccuracy(t, 3);
  EXPECT_DOUBLE_EQ(a.exact, 25.0);
  EXPECT_DOUBLE_EQ(a.near, 75.0);

  ProjectSettings settings;
  EXPECT_EQ(RunTotals(t, 3, 1, settings), "\r\n" + Spaces(24) + "Accuracy =         25.0%\r\n" +
                                              Spaces(24) + "Near Accuracy =    75.0%\r\n\r\n");
  EXPECT_EQ(ComputeAccuracy(ConfusionTable(), 3).exact, 0.0);
  EXPECT_EQ(RunTotals(ConfusionTable(), 2, 2, settings),
            "\r\n" + Spaces(24) + "Accuracy =" + Spaces(11) + ".0%\r\n" + Spaces(24) +
                "Near Accuracy =" + Spaces(6) + ".0%\r\n\r\n");
}

TEST(ObservedClassifications, TwoGroupsAreAlwaysNear) {
  ConfusionTable t;
  t.count[1][2] = 3;
  t.count[2][1] = 1;
  t.count[2][2] = 4;
  Accuracy a = ComputeAccuracy(t, 2);
  EXPECT_DOUBLE_EQ(a.exact, 50.0);
  EXPECT_DOUBLE_EQ(a.near, 100.0);
}

TEST(ObservedClassifications, HeadingAndRows) {
  ConfusionTable t;
  t.count[1][1] = 12;
  t.count[1][2] = 3;
  t.count[1][0] = 5;
  t.count[2][3] = 100000;
  EXPECT_EQ(ClassificationHeading(3), Spaces(20) + "Observed Classifications\r\n" + Spaces(24) +
                                          "      1      2      3\r\n");
  EXPECT_EQ(ClassificationRow(t, 1, 3, 1),
            Spaces(15) + "True  1       12      3      0\r\n");
  EXPECT_EQ(ClassificationRow(t, 2, 3, 2), Spaces(15) + "      2        0      0 100000\r\n");
  // A New run: one row, no label and no set number.
  EXPECT_EQ(ClassificationRow(t, 1, 3, 3), Spaces(25) + "     12      3      0\r\n");
  ProjectSettings settings;
  settings.path2root = "/p/";
  settings.sname = "grade7";
  EXPECT_EQ(RunTotals(t, 3, 3, settings), "\r\nResults are in file /p/grade7new.csv\r\n\r\n");
}

TEST(RunTexts, HeadingCollectionAndProbabilityText) {
  ScoringOptions o;
  ProjectSettings settings;
  settings.common = 1000;
  settings.rare = 40;
  settings.lowinfo = 0.3;
  EXPECT_EQ(RunHeading(o, settings),
            "Scoring Words (Not Stemmed) (Stop Words) (Common tokens) (Rare tokens) (Low Info "
            "tokens)");
  o.CodePhrases = 1;
  o.CodeArguments = 1;
  o.SentenceArguments = 1;
  o.Stemmed = 1;
  o.IncludeStopWords = 0;
  o.IncludeCommon = 0;
  o.IncludeRare = 0;
  o.IncludeLowInfo = 0;
  EXPECT_EQ(RunHeading(o, settings),
            "Scoring Words Phrases Sentence Arguments Arguments (Stemmed) (No Stop Words) (No "
            "common; freq < 1000/k) (No rare; freq > 40/k) (Info Gain > .3)");
  EXPECT_EQ(CollectionName(1), "trial");
  EXPECT_EQ(CollectionName(2), "train");
  EXPECT_EQ(CollectionName(3), "new");

  const std::string text = ProbabilityText(1, 3, Scores(0.004L, 0.0011L, 0.9949L), 3);
  EXPECT_EQ(text, "   1    3     .40     .11   99.49");
  EXPECT_TRUE(IsPreTicked(text));
  EXPECT_FALSE(IsPreTicked(ProbabilityText(2, 1, Scores(0.9799L, 0.0201L), 2)));
  EXPECT_TRUE(IsPreTicked(ProbabilityText(2, 1, Scores(0.98L, 0.02L), 2)));
  EXPECT_TRUE(IsPreTicked(ProbabilityText(2, 1, Scores(1.0L, 0.0L), 2)));
}

TEST(FlaggedFiles, TwoCharacterGroupThenPath) {
  EXPECT_EQ(FlaggedFileItem(3, "/a/b.txt"), " 3/a/b.txt");
  std::vector<ErrorEntry> errors = {
      {"/t/one.txt", ProbabilityText(1, 2, Scores(0.005L, 0.995L), 2), 1},
      {"/t/two.txt", ProbabilityText(2, 1, Scores(0.9799L, 0.0201L), 2), 2},
      {"/t/three.txt", ProbabilityText(2, 1, Scores(0.9851L, 0.0149L), 2), 2},
  };
  EXPECT_EQ(PreTickedFlaggedFiles(errors),
            (std::vector<std::string>{" 1/t/one.txt", " 2/t/three.txt"}));
}

TEST(ResultLogText, HeaderAndLines) {
  EXPECT_EQ(ResultLogHeader(),
            "\"file\",\"what\",\"group\",\"pred_grp\",\"prob_1\",\"prob_2\",\"prob_3\","
            "\"prob_4\",\"prob_5\",\"Model\",\"Stemmed\",\"StopWords\",\"CommonWords\",\"Words\","
            "\"Phrases\"\n");
  ScoringOptions o;
  EXPECT_EQ(ResultLogLine("a.txt", "trial", 1, 2, Scores(0.5L, 0.25L, 0.25L), o),
            "\"a.txt\",\"trial\",1,2,.5,.25,.25,0,0,\"Multinomial\",0,1,1,1,0\n");
  o.Model = 2;
  o.Stemmed = 1;
  o.IncludeStopWords = 0;
  o.IncludeCommon = 0;
  o.CodePhrases = 1;
  EXPECT_EQ(ResultLogLine("/x/b.txt", "new", 0, 0, Scores(1.0L / 3, 0.123456789L, 1e-9L), o),
            "\"/x/b.txt\",\"new\",0,0,.3333333,.1234568,0,0,0,\"Bernoulli\",1,0,0,1,1\n");
  EXPECT_EQ(ResultLogLine("c", "train", 2, 2, Scores(0, 1), ScoringOptions()),
            "\"c\",\"train\",2,2,0,1,0,0,0,\"Multinomial\",0,1,1,1,0\n");
  // Only a run that is not classic logs its settings (the line itself is
  // checked end to end through tarne-cli).
  ScoringOptions settings;
  EXPECT_FALSE(ResultLogHasSettings(settings, CountingRules()));
  EXPECT_TRUE(ResultLogHasSettings(settings, CountingRules{false, 3}));
  settings.StopWordsOnly = 1;
  EXPECT_TRUE(ResultLogHasSettings(settings, CountingRules()));
  // Quotes inside a name are doubled; commas and line breaks stay inside the field.
  EXPECT_EQ(ResultLogLine("say \"hi\",\r\nnow.txt", "trial", 1, 1, Scores(1, 0), ScoringOptions())
                .substr(0, 31),
            "\"say \"\"hi\"\",\r\nnow.txt\",\"trial\",");
}

class ResultLogFile : public ScoringFixture {};

TEST_F(ResultLogFile, WritesHeaderThenOneLinePerEssay) {
  MakeProject(3);
  ResultLog log(*session, 1);
  EXPECT_EQ(log.Path(), session->settings.path2root + "proj.csv");
  EXPECT_EQ(ResultLog(*session, 3).Path(), session->settings.path2root + "projnew.csv");
  temp.Write("root/proj.csv", "old contents\r\n");
  log.Start();
  log.AppendLine("a.txt", "trial", 1, 1, Scores(0.75L, 0.25L));
  log.AppendLine("b.txt", "trial", 2, 1, Scores(0.5L, 0.5L));
  EXPECT_EQ(temp.Read("root/proj.csv"),
            ResultLogHeader() + "\"a.txt\",\"trial\",1,1,.75,.25,0,0,0,\"Multinomial\",0,1,1,1,0\n" +
                "\"b.txt\",\"trial\",2,1,.5,.5,0,0,0,\"Multinomial\",0,1,1,1,0\n");
  EXPECT_TRUE(port.messages.empty());
}

TEST_F(ResultLogFile, AnUnwritableLogIsReportedOncePerRun) {
  MakeProject(2);
  session->settings.path2root = temp.Path() + "missing/folder/";
  ResultLog log(*session, 1);
  log.Start();
  log.AppendLine("a.txt", "trial", 1, 1, Scores(1, 0));
  log.AppendLine("b.txt", "trial", 1, 1, Scores(1, 0));
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "Could not write file " + temp.Path() + "missing/folder/proj.csv");
  EXPECT_EQ(port.messages[0].caption, "Tarne");
  EXPECT_EQ(port.messages[0].icon, Icon::Exclamation);
  EXPECT_EQ(port.messages[0].buttons, Buttons::Ok);
  EXPECT_TRUE(log.Failed());
}

}  // namespace
}  // namespace tarne::testing
