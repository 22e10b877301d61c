// The training run over the groups' folders: which files are selected, what
// is recorded, the texts it shows and logs, cancelling and odd files.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/training_fixture.h"
#include "training/training.h"

namespace tarne::testing {
namespace {

using Lines = std::vector<std::string>;

class TrainRun : public TrainingFixture {
 protected:
  void SetUp() override { MakeProject(2); }
  Lines Calib() { return Rows("SELECT filen, gr, isinwords, isinphrases, isinargs FROM calib ORDER BY rowid", 5); }
  std::string Trainsize() { return Rows("SELECT g1, g2 FROM trainsize", 2).at(0); }
};

TEST_F(TrainRun, WordsRunRecordsEveryFileAndReports) {
  const std::string a = Essay(1, "a.txt", "Alpha bravo charlie.");
  const std::string b = Essay(1, "b.txt", "Delta echo foxtrot.");
  const std::string c = Essay(2, "c.txt", "Alpha golf hotel.");
  TrainKind(*session, TokenKind::Words);

  EXPECT_EQ(Calib(), (Lines{a + "|1|1|0|0", b + "|1|1|0|0", c + "|2|1|0|0"}));
  EXPECT_EQ(Trainsize(), "2|1");
  EXPECT_EQ(LogLines(), (Lines{"Training group 1 words started", "Training group 1 words 2 files",
                               "Training group 1 words 2 files completed",
                               "Training group 2 words started", "Training group 2 words 1 files",
                               "Training group 2 words 1 files completed"}));
  EXPECT_EQ(port.PaneText(),
            "\r\nTraining group 1 words 2 files completed\r\n"
            "\r\nTraining group 2 words 1 files completed\r\n");
  ASSERT_EQ(port.progress.size(), 4u);
  EXPECT_EQ(port.progress[0].caption, "Checking for calibrated files - train/1");
  EXPECT_EQ(port.progress[0].texts,
            (Lines{"Checking file 1 of  2 in set 1 of 2", "Checking file 2 of  2 in set 1 of 2"}));
  EXPECT_EQ(port.progress[0].percents, (std::vector<int>{51, 101}));
  EXPECT_EQ(port.progress[1].caption, "Reading files - " + TrainFolder(1));
  EXPECT_EQ(port.progress[1].texts, (Lines{"Working on file 1 of  2 in set 1 of 2",
                                           "Working on file 2 of  2 in set 1 of 2"}));
  EXPECT_EQ(port.progress[3].texts, (Lines{"Working on file 1 of  1 in set 2 of 2"}));
  for (const RecordedProgress& p : port.progress) EXPECT_TRUE(p.shutDown) << p.caption;
  EXPECT_TRUE(port.messages.empty());
  // Both tables hold the words of all three essays.
  EXPECT_EQ(Value("SELECT v1 + v2 FROM run1 WHERE Vocab='alpha'"), 2);
  EXPECT_EQ(Value("SELECT count(*) FROM stem WHERE Vocab='alpha'"), 1);
}

TEST_F(TrainRun, SecondWordsRunFindsEverythingRead) {
  Essay(1, "a.txt", "Alpha bravo charlie.");
  Essay(2, "c.txt", "Alpha golf hotel.");
  TrainKind(*session, TokenKind::Words);
  const Lines before = Dump();
  port.logLines.clear();
  port.appends.clear();
  TrainKind(*session, TokenKind::Words);
  EXPECT_EQ(Dump(), before);
  ASSERT_EQ(port.messages.size(), 2u);
  EXPECT_EQ(port.messages[0].text, "All files in group 1 directory have been read");
  EXPECT_EQ(port.messages[0].caption, "");
  EXPECT_EQ(port.messages[0].buttons, Buttons::Ok);
  EXPECT_EQ(port.messages[1].text, "All files in group 2 directory have been read");
  EXPECT_EQ(LogLines(), (Lines{"Training group 1 words started",
                               "Training group 1 words aborted - all files have been read",
                               "Training group 1 words 0 files completed",
                               "Training group 2 words started",
                               "Training group 2 words aborted - all files have been read",
                               "Training group 2 words 0 files completed"}));
  EXPECT_EQ(port.appends.front(), "\r\nTraining group 1 words 0 files completed\r\n");
}

TEST_F(TrainRun, EmptyFolderIsAllReadAndAMissingOneStopsTheRun) {
  Essay(1, "a.txt", "Alpha bravo charlie.");
  session->settings.path2train[1] = temp.Path() + "nowhere/";
  EXPECT_FALSE(TrainKind(*session, TokenKind::Words));
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text,
            "The training folder of group 2 does not exist:\r\n" + temp.Path() + "nowhere/");
  EXPECT_EQ(Value("SELECT count(*) FROM calib"), 0);
  port.messages.clear();
  session->settings.path2train[1] = temp.Sub("empty");
  EXPECT_TRUE(TrainKind(*session, TokenKind::Words));
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "All files in group 2 directory have been read");
  EXPECT_TRUE(ListEssayFiles("no slash here").empty());
  EXPECT_EQ(CountFiles("   "), 0);
}

TEST_F(TrainRun, PairsAndArgumentsNeedWordsFirst) {
  Essay(1, "a.txt", "Alpha bravo charlie.");
  TrainKind(*session, TokenKind::Pairs);
  EXPECT_EQ(Value("SELECT count(*) FROM calib"), 0);
  EXPECT_EQ(Value("SELECT count(*) FROM run1"), 0);
  EXPECT_EQ(port.messages.size(), 2u);
}

TEST_F(TrainRun, CalibStatesAcrossKinds) {
  const std::string a = Essay(1, "a.txt", "Alpha bravo charlie.");
  TrainKind(*session, TokenKind::Words);
  EXPECT_EQ(Calib(), (Lines{a + "|1|1|0|0"}));
  TrainKind(*session, TokenKind::Pairs);
  EXPECT_EQ(Calib(), (Lines{a + "|1|1|1|0"}));
  EXPECT_EQ(Value("SELECT count(*) FROM run1 WHERE isphrase=1"), 2);
  // A second pairs run skips the file.
  port.messages.clear();
  TrainKind(*session, TokenKind::Pairs);
  EXPECT_EQ(port.messages.size(), 2u);
  EXPECT_EQ(Value("SELECT v1 FROM run1 WHERE Vocab='alpha bravo'"), 1);
  // Removed words are trained again on the same row; pairs ignore such a file.
  Sql("UPDATE calib SET isinwords=0, isinphrases=0");
  TrainKind(*session, TokenKind::Pairs);
  EXPECT_EQ(Calib(), (Lines{a + "|1|0|0|0"}));
  TrainKind(*session, TokenKind::Words);
  EXPECT_EQ(Calib(), (Lines{a + "|1|1|0|0"}));
}

TEST_F(TrainRun, ArgumentsRunRecomputesWordsOfBothTablesFirst) {
  // Words that occur in every essay are frequent (sum above 20).
  Essay(1, "a.txt", "Players walking quickly. Alpha zulu.");
  Essay(1, "b.txt", "Players walking slowly.");
  Essay(2, "c.txt", "Players walking.");
  TrainKind(*session, TokenKind::Words);
  port.appends.clear();
  session->options.Stemmed = 0;
  TrainKind(*session, TokenKind::Arguments);
  EXPECT_EQ(session->options.Stemmed, 0);
  ASSERT_GE(port.appends.size(), 9u);
  EXPECT_EQ(Lines(port.appends.begin(), port.appends.begin() + 9),
            (Lines{"Vocabulary size = 6 ", "stemmed", " words", "\r\n",  // stem first
                   "Vocabulary size = 6 ", "un", "stemmed", " words", "\r\n"}));
  // Pairs never reach across a full stop.
  EXPECT_EQ(Rows("SELECT Vocab, v1, v2 FROM run1 WHERE isarg=1 ORDER BY Vocab", 3),
            (Lines{"alpha zulu|1.0|0.0", "players quickly|1.0|0.0", "players slowly|1.0|0.0",
                   "players walking|2.0|1.0", "quickly walking|1.0|0.0",
                   "slowly walking|1.0|0.0"}));
  EXPECT_EQ(Rows("SELECT Vocab FROM stem WHERE isarg=1 AND v2=1", 1), (Lines{"player walk"}));
  EXPECT_EQ(Value("SELECT count(*) FROM calib WHERE isinargs=1"), 3);
}

TEST_F(TrainRun, ShortFileIsCountedButNeverRecorded) {
  Essay(1, "a.txt", "   abcde   ");
  Essay(1, "b.txt", "Alpha bravo charlie.");
  TrainKind(*session, TokenKind::Words);
  EXPECT_EQ(Value("SELECT count(*) FROM calib"), 1);
  EXPECT_EQ(Trainsize(), "1|0");
  EXPECT_EQ(LogLines()[2], "Training group 1 words 2 files completed");
  port.logLines.clear();
  TrainKind(*session, TokenKind::Words);
  EXPECT_EQ(LogLines()[1], "Training group 1 words 1 files");
}

TEST_F(TrainRun, FilesAreTakenInByteOrderOfTheirNames) {
  for (const char* name : {"b.txt", "C.txt", "a.txt", "B.txt", ".hidden"})
    Essay(1, name, "Alpha bravo charlie.");
  temp.Sub("essays/g1/folder.txt");
  TrainKind(*session, TokenKind::Words);
  const std::string f = TrainFolder(1);
  EXPECT_EQ(Rows("SELECT filen FROM calib ORDER BY rowid", 1),
            (Lines{f + "B.txt", f + "C.txt", f + "a.txt", f + "b.txt"}));
}

TEST_F(TrainRun, TrainedMeansThisExactPath) {
  const std::string bak = Essay(1, "essay1.txt.bak", "Alpha bravo charlie.");
  TrainKind(*session, TokenKind::Words);
  // A file whose name is a prefix of a trained one, or differs in case only,
  // is a file of its own.
  const std::string plain = Essay(1, "essay1.txt", "Delta echo foxtrot.");
  const std::string upper = Essay(1, "ESSAY1.TXT.BAK", "Golf hotel india.");
  TrainKind(*session, TokenKind::Words);
  EXPECT_EQ(Rows("SELECT filen FROM calib ORDER BY rowid", 1), (Lines{bak, upper, plain}));
  TrainKind(*session, TokenKind::Pairs);
  EXPECT_EQ(Value("SELECT count(*) FROM calib WHERE isinphrases=1"), 3);
}

TEST_F(TrainRun, PathWithApostrophe) {
  const std::string path = Essay(1, "o'brien's essay.txt", "Alpha bravo charlie.");
  TrainKind(*session, TokenKind::Words);
  TrainKind(*session, TokenKind::Pairs);
  EXPECT_EQ(Rows("SELECT filen, isinwords, isinphrases FROM calib", 3), (Lines{path + "|1|1"}));
  port.messages.clear();
  TrainKind(*session, TokenKind::Words);
  EXPECT_EQ(port.messages.size(), 2u);
  RemoveFlaggedFiles(*session, {" 1" + path});
  EXPECT_EQ(Rows("SELECT isinwords, isinphrases FROM calib", 2), (Lines{"0|0"}));
  EXPECT_EQ(Value("SELECT v1 FROM run1 WHERE Vocab='alpha'"), 0);
}

TEST_F(TrainRun, CancelKeepsTheFilesDoneAndTheNextRunGoesOn) {
  for (int i = 0; i < 10; ++i) Essay(1, "e" + std::to_string(i) + ".txt", "Alpha bravo charlie.");
  Essay(2, "z.txt", "Delta echo foxtrot.");
  port.cancelCaption = "Reading files";
  port.cancelAtPollOfCaption = 4;  // while the fourth file is announced
  TrainKind(*session, TokenKind::Words);
  EXPECT_EQ(Value("SELECT count(*) FROM calib WHERE gr=1"), 3);
  EXPECT_EQ(Trainsize(), "3|1");
  EXPECT_EQ(LogLines()[2], "Training group 1 words 3 files completed");
  EXPECT_EQ(port.progress[1].texts.back(), "Working on file 4 of  10 in set 1 of 2");
  EXPECT_EQ(port.progress[2].caption, "Checking for calibrated files - train/2");
  EXPECT_EQ(Value("SELECT v1 FROM run1 WHERE Vocab='alpha'"), 3);

  port.cancelCaption.clear();
  port.logLines.clear();
  TrainKind(*session, TokenKind::Words);
  EXPECT_EQ(LogLines()[1], "Training group 1 words 7 files");
  EXPECT_EQ(Value("SELECT v1 FROM run1 WHERE Vocab='alpha'"), 10);
  EXPECT_EQ(Trainsize(), "10|1");
}

TEST_F(TrainRun, CancelWhileCheckingSkipsTheGroupSilently) {
  Essay(1, "a.txt", "Alpha bravo charlie.");
  Essay(2, "b.txt", "Delta echo foxtrot.");
  port.cancelCaption = "Checking for calibrated files - train/1";
  port.cancelAtPollOfCaption = 1;
  TrainKind(*session, TokenKind::Words);
  EXPECT_EQ(LogLines(), (Lines{"Training group 1 words started", "Training group 2 words started",
                               "Training group 2 words 1 files",
                               "Training group 2 words 1 files completed"}));
  EXPECT_TRUE(port.progress[0].shutDown);
  EXPECT_EQ(Trainsize(), "0|1");
}

TEST_F(TrainRun, UnreadableFileIsSkippedAndNamed) {
  Essay(1, "a.txt", "Alpha bravo charlie.");
  const std::string gone = Essay(1, "b.txt", "Delta echo foxtrot.");
  port.onSet = [&](const std::string& text) {
    if (text.rfind("Working on file 2 ", 0) == 0) std::remove(gone.c_str());
  };
  TrainKind(*session, TokenKind::Words);
  EXPECT_EQ(Value("SELECT count(*) FROM calib"), 1);
  EXPECT_EQ(Trainsize(), "1|0");
  EXPECT_EQ(LogLines()[2], "Could not read file " + gone);
  EXPECT_EQ(LogLines()[3], "Training group 1 words 1 files completed");
  EXPECT_NE(port.PaneText().find("Could not read file " + gone), std::string::npos);
}

TEST_F(TrainRun, FileAppearingAfterTheCountWaitsForTheNextRun) {
  Essay(1, "b.txt", "Alpha bravo charlie.");
  port.onInit = [&](const std::string& caption) {
    if (caption == "Checking for calibrated files - train/1") Essay(1, "a.txt", "Delta echo.");
  };
  TrainKind(*session, TokenKind::Words);
  EXPECT_EQ(Rows("SELECT filen FROM calib", 1), (Lines{TrainFolder(1) + "b.txt"}));
  EXPECT_EQ(port.progress[0].texts, (Lines{"Checking file 1 of  1 in set 1 of 2"}));
  port.onInit = nullptr;
  TrainKind(*session, TokenKind::Words);
  EXPECT_EQ(Value("SELECT count(*) FROM calib"), 2);
}

}  // namespace
}  // namespace tarne::testing
