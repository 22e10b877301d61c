#include <gtest/gtest.h>

#include "scoring/options_rules.h"

namespace tarne {
namespace {

TEST(ScoringDialog, OpensFromTheOptions) {
  ScoringOptions o;
  ScoringDialogMemory memory;
  ScoringDialogRules d(o, "Grade7", memory);
  EXPECT_EQ(d.what, 1);  // What 0 shows as Trial
  EXPECT_TRUE(d.multinomial);
  EXPECT_EQ(d.logLabel, "Log all in grade7.csv");
  EXPECT_FALSE(d.logBox);
  EXPECT_FALSE(d.oneWindowOpen);

  o.What = 4;
  o.Model = 2;
  o.LogAll = 1;
  ScoringDialogRules one(o, "x", memory);
  EXPECT_FALSE(one.multinomial);
  EXPECT_FALSE(one.logBox);  // starts unticked whatever LogAll says
  EXPECT_TRUE(one.oneWindowOpen);
  EXPECT_FALSE(one.showErrorsEnabled);
  EXPECT_FALSE(one.logEnabled);
}

TEST(ScoringDialog, NewOpenedAndScoredAtOnceWritesNoLog) {
  ScoringOptions o;
  o.What = 3;
  o.LogAll = 1;
  ScoringDialogMemory memory;
  ScoringDialogRules d(o, "p", memory);
  EXPECT_EQ(d.Score(), 1);
  EXPECT_EQ(o.What, 3);
  EXPECT_EQ(o.LogAll, 0);
}

TEST(ScoringDialog, ClickingNewForcesTheLog) {
  ScoringOptions o;
  ScoringDialogMemory memory;
  ScoringDialogRules d(o, "Proj", memory);
  d.ClickWhat(3);
  EXPECT_TRUE(d.logBox);
  EXPECT_EQ(d.logLabel, "Log all in projnew.csv");
  EXPECT_FALSE(d.showErrorsEnabled);
  d.ClickLog();  // unticks, and is ticked again at once
  EXPECT_TRUE(d.logBox);
  EXPECT_EQ(o.LogAll, 0);
  d.Score();
  EXPECT_EQ(o.LogAll, 1);

  // Back to Trial: the box shows LogAll again.
  ScoringOptions t;
  ScoringDialogRules back(t, "Proj", memory);
  back.ClickWhat(3);
  back.ClickWhat(1);
  EXPECT_FALSE(back.logBox);
  EXPECT_EQ(back.logLabel, "Log all in proj.csv");
  back.ClickLog();
  EXPECT_EQ(t.LogAll, 1);
  back.ClickWhat(2);
  EXPECT_TRUE(back.logBox);
}

TEST(ScoringDialog, StemmedRemembersStopWords) {
  ScoringOptions o;
  ScoringDialogMemory memory;
  ScoringDialogRules d(o, "p", memory);
  d.SetStemmed(true);
  EXPECT_FALSE(d.stopWords);
  EXPECT_FALSE(d.stopWordsEnabled);
  d.SetStemmed(false);
  EXPECT_TRUE(d.stopWords);
  EXPECT_TRUE(d.stopWordsEnabled);

  // Nothing remembered yet in this program run: unticking gives unticked.
  ScoringOptions s;
  s.Stemmed = 1;
  ScoringDialogMemory fresh;
  ScoringDialogRules e(s, "p", fresh);
  e.SetStemmed(false);
  EXPECT_FALSE(e.stopWords);
  // A disabled box keeps its tick state when Score writes it.
  e.SetStemmed(true);
  e.Score();
  EXPECT_EQ(s.Stemmed, 1);
  EXPECT_EQ(s.IncludeStopWords, 0);
}

TEST(ScoringDialog, OneEssayTextOnlyWhileTheWindowIsOpen) {
  ScoringOptions o;
  o.OneEssayText = "old";
  ScoringDialogMemory memory;
  ScoringDialogRules d(o, "p", memory);
  d.ClickWhat(4);
  d.SetOneEssayText("An essay.");
  d.ClickShowErrors();  // disabled: no change
  EXPECT_FALSE(d.showErrors);
  d.Score();
  EXPECT_EQ(o.What, 4);
  EXPECT_EQ(o.OneEssayText, "An essay.");

  ScoringDialogRules again(o, "p", memory);  // opens with One: an empty window
  again.ClickWhat(2);                         // closes it
  again.SetOneEssayText("ignored");
  again.Score();
  EXPECT_EQ(o.What, 2);
  EXPECT_EQ(o.OneEssayText, "");
}

TEST(ScoringDialog, ScoreWritesEveryBoxAndCancelNothing) {
  ScoringOptions o;
  ScoringDialogMemory memory;
  ScoringDialogRules d(o, "p", memory);
  d.ClickModel(2);
  d.common = false;
  d.rare = false;
  d.lowInfo = false;
  d.words = false;
  d.phrases = true;
  d.arguments = true;
  d.ClickShowErrors();
  EXPECT_EQ(ScoringDialogRules::Cancel(), 0);
  EXPECT_EQ(o.Model, 1);
  d.Score();
  EXPECT_EQ(o.What, 1);
  EXPECT_EQ(o.Model, 2);
  EXPECT_EQ(o.IncludeCommon, 0);
  EXPECT_EQ(o.IncludeRare, 0);
  EXPECT_EQ(o.IncludeLowInfo, 0);
  EXPECT_EQ(o.CodeWords, 0);
  EXPECT_EQ(o.CodePhrases, 1);
  EXPECT_EQ(o.CodeArguments, 1);
  EXPECT_EQ(o.ShowErrors, 1);
}

}  // namespace
}  // namespace tarne
