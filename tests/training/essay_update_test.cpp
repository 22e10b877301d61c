// Counting one essay into one table: the marking passes, new tokens, the
// group columns and the argument builder.
#include <gtest/gtest.h>

#include "support/training_fixture.h"
#include "text/tokenizer.h"
#include "text/word_lists.h"
#include "training/essay_tokens.h"
#include "training/run_vocabulary.h"
#include "training/training.h"

namespace tarne::testing {
namespace {

class EssayUpdate : public TrainingFixture {
 protected:
  void SetUp() override { MakeProject(2); }
  void Add(std::string text, const std::string& group, int kind, int stemmed) {
    AddEssay(*session, text, group, kind, stemmed);
  }
  // v1, w1, thisessay of one row.
  std::string Counts(const std::string& table, const std::string& vocab,
                     const std::string& flag = "isword") {
    auto rows = Rows("SELECT v1, w1, v2, w2, thisessay FROM " + table + " WHERE Vocab='" + vocab +
                         "' AND " + flag + "=1",
                     5);
    return rows.size() == 1 ? rows[0] : "rows: " + std::to_string(rows.size());
  }
  // The essays counted and written by one loaded run, in a transaction left
  // open: the additions and the commit are the caller's.
  void WriteInOneRun(RunVocabulary& vocabulary,
                     const std::vector<std::pair<std::string, std::string>>& essays) {
    ASSERT_TRUE(vocabulary.Load());
    ASSERT_TRUE(session->db.Begin());
    for (auto [text, group] : essays) {
      NormalizeEssayText(text);
      vocabulary.CountEssay(text);
      ASSERT_TRUE(vocabulary.Write(vocabulary.TakeWrites(), group));
    }
  }
};

TEST_F(EssayUpdate, WordInFirstAndThirdSentenceCountsTwiceInOneEssay) {
  Add("Alpha bravo. Charlie delta. Alpha echo.", "1", 1, 0);
  EXPECT_EQ(Counts("run1", "alpha"), "2.0|1.0|0.0|0.0|2");
  EXPECT_EQ(Counts("run1", "charlie"), "1.0|1.0|0.0|0.0|1");
  EXPECT_EQ(Value("SELECT g1 FROM trainsize"), 1);
  // A second essay of group 2 with alpha once: only its own columns move.
  Add("alpha zulu", "2", 1, 0);
  EXPECT_EQ(Counts("run1", "alpha"), "2.0|1.0|1.0|1.0|1");
  EXPECT_EQ(Counts("run1", "charlie"), "1.0|1.0|0.0|0.0|0");
  EXPECT_EQ(Value("SELECT g2 FROM trainsize"), 1);
}

TEST_F(EssayUpdate, FirstSentenceWithoutTokensEndsTheEssay) {
  Add("The cat sat. Alpha bravo charlie delta.", "1", 1, 0);
  EXPECT_EQ(Value("SELECT count(*) FROM run1"), 0);
  // The essay still counts as trained.
  EXPECT_EQ(Value("SELECT g1 FROM trainsize"), 1);
}

TEST_F(EssayUpdate, OnlyUnstemmedWordsCountInTrainsize) {
  Add("alpha bravo", "1", 1, 1);
  Add("alpha bravo", "1", 2, 0);
  Add("alpha bravo", "1", 2, 1);
  EXPECT_EQ(Value("SELECT g1 FROM trainsize"), 0);
  Add("alpha bravo", "1", 1, 0);
  EXPECT_EQ(Value("SELECT g1 FROM trainsize"), 1);
}

TEST_F(EssayUpdate, RepeatedPhraseNewOnceThenCountedPerOccurrence) {
  Add("alpha bravo alpha bravo", "1", 2, 0);
  EXPECT_EQ(Counts("run1", "alpha bravo", "isphrase"), "1.0|1.0|0.0|0.0|1");
  EXPECT_EQ(Counts("run1", "bravo alpha", "isphrase"), "1.0|1.0|0.0|0.0|1");
  Add("alpha bravo alpha bravo", "1", 2, 0);
  EXPECT_EQ(Counts("run1", "alpha bravo", "isphrase"), "3.0|2.0|0.0|0.0|2");
  EXPECT_EQ(Counts("run1", "bravo alpha", "isphrase"), "2.0|2.0|0.0|0.0|1");
}

TEST_F(EssayUpdate, StopFlagOfWordsAndPhrases) {
  ASSERT_TRUE(IsStopWord("about"));
  ASSERT_FALSE(IsStopWord("alpha"));
  Add("about alpha. alpha about. alpha bravo.", "1", 2, 0);
  EXPECT_EQ(Rows("SELECT Vocab, isstop FROM run1 ORDER BY Vocab", 2),
            (std::vector<std::string>{"about alpha|1", "alpha about|1", "alpha bravo|0"}));
  Add("about alpha", "1", 1, 0);
  EXPECT_EQ(Rows("SELECT Vocab, isstop FROM run1 WHERE isword=1 ORDER BY Vocab", 2),
            (std::vector<std::string>{"about|1", "alpha|0"}));
}

TEST_F(EssayUpdate, StemmedPassCountsStems) {
  Add("Walking players walked", "1", 1, 1);
  EXPECT_EQ(Rows("SELECT Vocab, v1 FROM stem ORDER BY Vocab", 2),
            (std::vector<std::string>{"player|1.0", "walk|1.0"}));
  EXPECT_EQ(Value("SELECT count(*) FROM run1"), 0);
}

TEST_F(EssayUpdate, HundredAndOneMarkingPassesNeverDuplicateARow) {
  std::string text;
  for (int i = 0; i < 104; ++i) text += "alpha ";  // 103 times the phrase "alpha alpha"
  Add(text, "1", 2, 0);
  EXPECT_EQ(Counts("run1", "alpha alpha", "isphrase"), "1.0|1.0|0.0|0.0|1");
  Add(text, "1", 2, 0);
  // The marking stops at 101 passes; the token left over is known, not new.
  EXPECT_EQ(Counts("run1", "alpha alpha", "isphrase"), "102.0|2.0|0.0|0.0|101");
}

TEST_F(EssayUpdate, ArgumentsAreFrequentWordPairsInByteOrder) {
  for (const char* w : {"gamma", "beta", "alpha"})
    Sql(std::string("INSERT INTO run1 (Vocab, isword, sum) VALUES ('") + w + "', 1, 21)");
  Sql("INSERT INTO run1 (Vocab, isword, sum) VALUES ('rare', 1, 20)");
  Sql("INSERT INTO run1 (Vocab, isphrase, sum) VALUES ('delta', 1, 99)");
  // The words as the tables hold them, the pairs built in memory.
  const auto arguments = [&](const char* table, std::vector<std::string_view> words) {
    FrequentWords frequent;
    EXPECT_TRUE(frequent.Load(session->db, table));
    std::string buffer, out;
    std::vector<std::string_view> tokens;
    ArgumentTokens(words, frequent, buffer, tokens);
    for (std::string_view t : tokens) out += (out.empty() ? "" : ",") + std::string(t);
    return out;
  };
  EXPECT_EQ(arguments("run1", {"gamma", "rare", "alpha", "beta", "gamma", "delta"}),
            "alpha beta,alpha gamma,beta gamma");
  EXPECT_EQ(arguments("run1", {"gamma", "rare"}), "");
  EXPECT_EQ(arguments("stem", {"gamma", "alpha"}), "");  // stem holds nothing
}

TEST_F(EssayUpdate, ArgumentEssayCountsSentencesWithBothWords) {
  for (const char* w : {"alpha", "bravo", "charlie"})
    Sql(std::string("INSERT INTO run1 (Vocab, isword, sum) VALUES ('") + w + "', 1, 50)");
  Add("charlie alpha zulu. bravo alpha alpha. alpha charlie.", "2", 3, 0);
  EXPECT_EQ(Rows("SELECT Vocab, v2, w2 FROM run1 WHERE isarg=1 ORDER BY Vocab", 3),
            (std::vector<std::string>{"alpha bravo|1.0|1.0", "alpha charlie|2.0|1.0"}));
}

// Words "wNNN" from first to last, as one sentence.
std::string WordRange(int first, int last) {
  std::string text;
  for (int i = first; i <= last; ++i) text += "w" + std::to_string(1000 + i) + " ";
  return text + ".";
}

TEST_F(EssayUpdate, AdditionsHeldBackOverSeveralWritesEndAsOneEssayAtATime) {
  // Groups 1, 2, 1, the later essays adding to rows the earlier ones made;
  // the long essays write and add to more rows than one statement takes.
  const std::vector<std::vector<std::pair<std::string, std::string>>> cases = {
      {{"alpha bravo. charlie alpha.", "1"}, {"alpha alpha delta. bravo.", "2"},
       {"bravo alpha echo.", "1"}},
      // Group 1's additions on both sides of group 2's.
      {{"bravo alpha.", "1"}, {"bravo alpha.", "1"}, {"bravo alpha.", "2"}, {"bravo alpha.", "1"}},
      // New rows met out of their texts' order, more than one statement of them.
      {{"zulu yankee. xray. " + WordRange(0, 129), "1"}, {"yankee alpha.", "2"}},
      {{WordRange(0, 129), "1"}, {WordRange(50, 199), "2"}, {WordRange(0, 199), "1"}},
  };
  for (const auto& essays : cases) {
    session->db.Statement(1, "DELETE FROM run1");
    for (auto [text, group] : essays) Add(text, group, 1, 0);
    // Row ids from the first: the server does not number rows anew after a DELETE.
    const auto rows = [&] {
      return Rows("SELECT rowid - (SELECT min(rowid) FROM run1), * FROM run1 ORDER BY rowid", 25);
    };
    const auto oneAtATime = rows();

    session->db.Statement(1, "DELETE FROM run1");
    RunVocabulary vocabulary(session->db, 0, 1, CountingRules());
    WriteInOneRun(vocabulary, essays);
    // Nothing is added to an existing row, nor the work column set, before
    // WriteAdditions; in a file new rows wait for it too, and go in then
    // with all that was counted for them.
    if (essays[0].first.starts_with("alpha")) {
      EXPECT_EQ(Counts("run1", "alpha"),
                session->db.IsServer() ? "2.0|1.0|0.0|0.0|0" : "rows: 0");
    }
    ASSERT_TRUE(vocabulary.WriteAdditions());
    ASSERT_TRUE(session->db.Commit());
    EXPECT_EQ(rows(), oneAtATime);
  }
  // In essays 1 and 3 (group 1), in 2 and 3, in all three.
  EXPECT_EQ(Counts("run1", "w1000"), "2.0|2.0|0.0|0.0|1");
  EXPECT_EQ(Counts("run1", "w1199"), "1.0|1.0|1.0|1.0|1");
  EXPECT_EQ(Counts("run1", "w1050"), "2.0|2.0|1.0|1.0|1");
}

TEST_F(EssayUpdate, ArgumentsOfARunEndAsOneEssayAtATime) {
  // A loaded run finds arguments by their words' numbers; one essay at a
  // time finds them by text.  The essays meet known and new pairs, a word
  // whose pairs sort apart from where it sorts (a byte below the blank), a
  // sentence of one frequent word (the essay ends there under the classic
  // rules), and rows no count can reach.  With a frequent "word" holding a
  // blank the run goes by text as well.
  const std::vector<std::pair<std::string, std::string>> essays = {
      {"alpha bravo charlie. alpha\x01z bravo alpha. rare alpha bravo.", "1"},
      {"bravo alpha delta charlie. alpha. charlie delta.", "2"},
      {WordRange(0, 20), "1"},
      {"delta alpha\x01z charlie bravo. " + WordRange(3, 12), "2"},
  };
  for (const bool blankWord : {false, true}) {
    for (const bool allSentences : {false, true}) {
      session->settings.rules.allSentences = allSentences;
      const auto seed = [&] {
        session->db.Statement(1, "DELETE FROM run1");
        std::vector<std::string> words = {"alpha", "bravo", "charlie", "delta", "alpha\x01z"};
        for (int i = 0; i <= 20; ++i) words.push_back("w" + std::to_string(1000 + i));
        if (blankWord) words.push_back("alpha bravo");
        for (const std::string& w : words)
          Sql("INSERT INTO run1 (Vocab, isword, sum) VALUES ('" + w + "', 1, 50)");
        Sql("INSERT INTO run1 (Vocab, isword, sum) VALUES ('rare', 1, 20)");
        for (const char* a : {"alpha bravo", "bravo alpha", "alpha rare", "w1005 w1006"})
          Sql(std::string("INSERT INTO run1 (Vocab, isarg) VALUES ('") + a + "', 1)");
      };
      const auto rows = [&] {
        return Rows("SELECT rowid - (SELECT min(rowid) FROM run1), * FROM run1 ORDER BY rowid",
                    25);
      };
      seed();
      for (auto [text, group] : essays) Add(text, group, 3, 0);
      const auto oneAtATime = rows();

      seed();
      RunVocabulary vocabulary(session->db, 0, 3, session->settings.rules);
      WriteInOneRun(vocabulary, essays);
      ASSERT_TRUE(vocabulary.WriteAdditions());
      ASSERT_TRUE(session->db.Commit());
      EXPECT_EQ(rows(), oneAtATime) << blankWord << allSentences;
    }
  }
  // The last pass (by text, all sentences): known, new, and past the
  // sentence of one frequent word.
  EXPECT_EQ(Counts("run1", "alpha bravo", "isarg"), "3.0|1.0|1.0|1.0|0");
  EXPECT_EQ(Counts("run1", "alpha\x01z bravo", "isarg"), "1.0|1.0|1.0|1.0|1");
  EXPECT_EQ(Counts("run1", "charlie delta", "isarg"), "0.0|0.0|3.0|2.0|1");
  EXPECT_EQ(Counts("run1", "w1005 w1006", "isarg"), "1.0|1.0|1.0|1.0|1");
}

}  // namespace
}  // namespace tarne::testing
