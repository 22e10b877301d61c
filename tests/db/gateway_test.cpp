#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "db/database_files.h"
#include "db/gateway.h"
#include "db_fixture.h"
#include "support/temp_folder.h"

namespace tarne::testing {
namespace {

using Strings = std::vector<std::string>;

// --- the schema as the statements expect it --------------------------------

TEST_F(DbTest, VocabularyTablesHaveTheColumnsInOrder) {
  const Strings expected = {"Vocab", "v1", "v2", "v3", "v4", "v5", "w1", "w2", "w3",
                            "w4", "w5", "p1", "p2", "p3", "p4", "p5", "sum", "entropy",
                            "isword", "isphrase", "isarg", "isstop", "keep", "thisessay"};
  // The server folds the names to lower case and has a row id column of its own.
  const auto names = [this](const std::string& table) {
    Strings names = Column1(
        ProjectsOnServer()
            ? "select column_name from information_schema.columns where table_schema = "
              "current_schema() and table_name = '" + table + "' and column_name <> 'rowid' "
              "order by ordinal_position"
            : "select name from pragma_table_info('" + table + "')");
    for (std::string& name : names)
      if (name == "vocab") name = "Vocab";
    return names;
  };
  // On the server the text comes last (the recomputation rewrites the reals).
  Strings expectedHere = expected;
  if (ProjectsOnServer())
    std::rotate(expectedHere.begin(), expectedHere.begin() + 1, expectedHere.end());
  for (const char* table : {"run1", "stem"}) EXPECT_EQ(names(table), expectedHere) << table;
  EXPECT_EQ(names("calib"), (Strings{"filen", "gr", "isinwords", "isinphrases", "isinargs"}));
}

TEST_F(DbTest, TrainsizeHasOneRowOfFiveZeros) {
  db.Statement(1, "Select * from trainsize");
  db.FetchResult(1);
  ASSERT_EQ(db.EndOfData(1), 0);
  for (int g = 1; g <= 5; ++g) EXPECT_EQ(db.ColumnUInt(1, g), 0u) << g;
  EXPECT_EQ(db.ColumnUInt(1, 6), 0u);  // beyond the row
  db.FetchResult(1);
  EXPECT_EQ(db.EndOfData(1), -1);
}

TEST_F(DbTest, SumAndCountOverAnEmptyTableReadZero) {
  db.Statement(1, "select sum(v1+v2+v3+v4+v5), count(isword) from run1 where isword=1");
  db.FetchResult(1);
  EXPECT_EQ(db.ColumnUInt(1, 1), 0u);
  EXPECT_EQ(db.ColumnUInt(1, 2), 0u);
  EXPECT_EQ(db.ColumnFloat(1, 1), 0.0);
  EXPECT_EQ(db.ColumnText(1, 1), "");
}

TEST_F(DbTest, ColumnDefaultsMakeAddingToAFreshRowACount) {
  db.Statement(1, "insert into run1 (Vocab, thisessay, isword, isstop) values ('cat', 3, 1, 0)");
  db.Statement(1, "update run1 set v2=v2+thisessay, w2=w2+1 where thisessay>0");
  db.Statement(1, "select v2, w2, p2, entropy from run1 where vocab='cat' and IsWord=1");
  db.FetchResult(1);
  ASSERT_EQ(db.EndOfData(1), 0);
  EXPECT_EQ(db.ColumnUInt(1, 1), 3u);
  EXPECT_EQ(db.ColumnUInt(1, 2), 1u);
  EXPECT_EQ(db.ColumnFloat(1, 3), 0.0);
  EXPECT_EQ(db.ColumnText(1, 4), "0.0");  // a real zero, not NULL
}

TEST_F(DbTest, FlagsWorkAloneAsConditionsAndNamesIgnoreCase) {
  db.Statement(1, "insert into run1 (Vocab, isword, entropy) values ('a', 1, 0.5)");
  db.Statement(1, "insert into run1 (Vocab, isphrase, entropy) values ('a b', 1, 0.7)");
  EXPECT_EQ(Column1("select Vocab from RUN1 where (isword) AND (entropy>0) ORDER BY ENTROPY desc"),
            Strings{"a"});
  EXPECT_EQ(Column1("select vocab from run1 where isword<>1"), Strings{"a b"});
}

// --- reading values ---------------------------------------------------------

TEST_F(DbTest, NullReadsAsZeroAndEmptyText) {
  db.Statement(1, "insert into run1 (Vocab, v1, p1) values (NULL, NULL, NULL)");
  db.Statement(1, "select v1, p1, Vocab from run1");
  db.FetchResult(1);
  ASSERT_EQ(db.EndOfData(1), 0);
  EXPECT_EQ(db.ColumnUInt(1, 1), 0u);
  EXPECT_EQ(db.ColumnSInt(1, 1), 0);
  EXPECT_EQ(db.ColumnFloat(1, 2), 0.0);
  EXPECT_EQ(db.ColumnText(1, 3), "");
  EXPECT_EQ(db.ColumnStr(1, 3), "");
}

TEST_F(DbTest, NoRowAndBadColumnsReadZero) {
  db.Statement(1, "select 7");
  EXPECT_EQ(db.ColumnUInt(1, 1), 0u);  // nothing fetched yet
  db.FetchResult(1);
  EXPECT_EQ(db.ColumnUInt(1, 1), 7u);
  EXPECT_EQ(db.ColumnUInt(1, 0), 0u);
  EXPECT_EQ(db.ColumnUInt(1, 2), 0u);
  db.FetchResult(1);
  EXPECT_EQ(db.EndOfData(1), -1);
  EXPECT_EQ(db.ColumnUInt(1, 1), 0u);
  EXPECT_EQ(db.ColumnUInt(3, 1), 0u);
  EXPECT_EQ(db.EndOfData(3), -1);
}

TEST_F(DbTest, IntegerReadsOfRealsTruncateTowardZero) {
  db.Statement(1, "insert into run1 (Vocab, v1, v2) values ('x', 1.5, -2.75)");
  db.Statement(1, "insert into run1 (Vocab, v1) values ('y', 1.25)");
  db.Statement(1, "select sum(v1), sum(v2), 4000000000, -5 from run1");
  db.FetchResult(1);
  EXPECT_EQ(db.ColumnUInt(1, 1), 2u);  // 2.75
  EXPECT_EQ(db.ColumnFloat(1, 1), 2.75);
  EXPECT_EQ(db.ColumnSInt(1, 2), -2);
  EXPECT_EQ(db.ColumnUInt(1, 3), 4000000000u);
  EXPECT_EQ(db.ColumnSInt(1, 4), -5);
}

TEST_F(DbTest, TextComesBackAsStoredBytes) {
  const std::string token = "caf\xe9 na\xefve";  // not UTF-8: must not be re-encoded
  db.Statement(1, "insert into run1 (Vocab) values ('" + token + "')");
  EXPECT_EQ(Column1("select Vocab from run1"), Strings{token});
  db.Statement(1, "select 0.5, 12");
  db.FetchResult(1);
  EXPECT_EQ(db.ColumnText(1, 1), "0.5");
  EXPECT_EQ(db.ColumnText(1, 2), "12");
  if (ProjectsOnServer()) return;  // the server's texts hold no zero byte
  db.Statement(1, "select cast(x'610062' as text)");
  db.FetchResult(1);
  EXPECT_EQ(db.ColumnText(1, 1), std::string("a\0b", 3));
}

// --- arithmetic the statements rely on --------------------------------------

TEST_F(DbTest, CountsDivideAsRealNumbers) {
  db.Statement(1, "insert into run1 (Vocab, v1, w1) values ('x', 1, 2)");
  db.Statement(1, "update run1 set p1= 0+(v1+1)/(3+ 1), sum=1000*(v1+w1)/ 250");
  db.Statement(1, "select v1/w1, p1, sum from run1");
  db.FetchResult(1);
  EXPECT_EQ(db.ColumnFloat(1, 1), 0.5);
  EXPECT_EQ(db.ColumnFloat(1, 2), 0.5);
  EXPECT_EQ(db.ColumnFloat(1, 3), 12.0);
}

TEST_F(DbTest, LogIsNaturalAndNullOutsideItsDomain) {
  EXPECT_NEAR(Single("select log(100)"), std::log(100.0), 1e-12);
  EXPECT_NEAR(Single("select log(2.718281828459045)"), 1.0, 1e-12);
  EXPECT_NEAR(Single("select ((.5*.4/.3)*log(.3/(.5*.4))/log(2))"),
              (.5 * .4 / .3) * std::log2(.3 / (.5 * .4)), 1e-12);
  for (const char* arg : {"0", "-1", "NULL"}) {
    db.Statement(1, std::string("select log(") + arg + ") is null");
    db.FetchResult(1);
    EXPECT_EQ(db.ColumnUInt(1, 1), 1u) << arg;
  }
}

// gain() must give, bit for bit, what the written-out expression gives.
TEST_F(DbTest, GainIsTheGainExpressionWorkedOutOperationByOperation) {
  const auto expression = [](const Strings& prior, const Strings& p, const std::string& l) {
    std::string evidence = "(" + prior[0] + "*" + p[0];
    for (size_t g = 1; g < p.size(); ++g) evidence += "+" + prior[g] + "*" + p[g];
    evidence += ")";
    std::string terms;
    for (size_t g = 0; g < p.size(); ++g) {
      const std::string pg = prior[g] + "*" + p[g];
      terms += std::string(g == 0 ? "((" : "+ ((") + pg + "/" + evidence + ")*log(" + evidence +
               "/(" + pg + "))/log(2)) ";
    }
    return l + " - (" + terms + ")";
  };
  const auto call = [](const Strings& prior, const Strings& p, const std::string& l) {
    std::string text = "gain(" + l;
    for (size_t g = 0; g < p.size(); ++g) text += ", " + prior[g] + ", " + p[g];
    return text + ", 7)";
  };
  const std::vector<std::pair<Strings, Strings>> cases = {
      {{".2", ".2", ".2", ".2", ".2"}, {"1.0/3", "2e-7", ".5", "1e-300", "0.123456789"}},
      {{".333333", ".333333", ".333334"}, {"0.1", "0.7", "0.000031"}},
      {{"0", ".5"}, {"0.25", "0.5"}},  // a zero prior divides by zero: NULL
      {{".9", ".1"}, {"1e-308", "1"}},
  };
  for (const auto& [prior, p] : cases) {
    const std::string l = p.size() == 2 ? " 1" : " 2.32192809488736";
    const std::string sql =
        "select " + call(prior, p, l) + " is not distinct from " + expression(prior, p, l);
    EXPECT_EQ(Single(sql), 1.0) << sql;
  }
  // A probability that is not positive leaves the old gain.
  EXPECT_EQ(Single("select gain(1, .5, 0, .5, .3, 7)"), 7.0);
  EXPECT_EQ(Single("select gain(1, .5, NULL, .5, .3, 7)"), 7.0);
}

// --- result sets --------------------------------------------------------------

TEST_F(DbTest, SelectMatchingNothingEndsAtOnce) {
  db.Statement(1, "select Vocab from run1 where isword=1");
  db.FetchResult(1);
  EXPECT_EQ(db.EndOfData(1), -1);
}

TEST_F(DbTest, TwoResultSetsAtOnce) {
  for (int i = 1; i <= 4; ++i)
    db.Statement(1, "insert into calib (filen, gr, isinwords) values ('e" + std::to_string(i) +
                        ".txt', 1, 1)");
  db.Statement(2, "select filen, gr from calib where gr= 1 order by filen");
  db.FetchResult(2, -1);
  Strings files;
  while (db.EndOfData(2) == 0) {
    files.push_back(db.ColumnStr(2, 1));
    // A whole essay's work on statement 1 between two rows of statement 2,
    // inside a transaction, including a change to the table being listed.
    ASSERT_TRUE(db.Begin());
    db.Statement(1, "update run1 set thisessay=0 where thisessay<>0");
    db.Statement(1, "insert into run1 (Vocab, thisessay, isword) values ('w', 1, 1)");
    db.Statement(1, "update run1 set v1=v1+thisessay where thisessay>0");
    db.Statement(1, "update trainsize set g1=g1+1");
    db.Statement(1, "update calib set isinphrases=1 where filen='" + files.back() + "'");
    EXPECT_EQ(Single("select count(*) from run1"), static_cast<double>(files.size()));
    ASSERT_TRUE(db.Commit());
    EXPECT_FALSE(db.InTransaction());
    db.FetchResult(2);
  }
  EXPECT_EQ(files, (Strings{"e1.txt", "e2.txt", "e3.txt", "e4.txt"}));
  EXPECT_EQ(Single("select g1 from trainsize"), 4.0);
  EXPECT_EQ(Single("select count(*) from calib where isinphrases=1"), 4.0);
  EXPECT_EQ(Single("select sum(v1) from run1"), 4.0);
}

TEST_F(DbTest, StatementModeLimitsLaterSelectsOfItsNumber) {
  for (int i = 0; i < 5; ++i)
    db.Statement(1, "insert into run1 (Vocab, entropy) values ('t" + std::to_string(i) + "', " +
                        std::to_string(i) + ")");
  db.StatementMode(1, 2);
  EXPECT_EQ(Column1("select Vocab from run1 ORDER BY entropy desc"), (Strings{"t4", "t3"}));
  EXPECT_EQ(Column1("select Vocab from run1 ORDER BY entropy desc", 2).size(), 5u);
  EXPECT_EQ(Column1("select Vocab from run1 where entropy<2").size(), 2u);
  db.StatementMode(1, 0);
  EXPECT_EQ(Column1("select Vocab from run1").size(), 5u);
}

// --- failures -----------------------------------------------------------------

// The one failure reported: the engine's message (its first words suffice)
// and the statement.
void ExpectOneFailure(Strings& errors, const std::string& message, const std::string& sql) {
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Database error: " + message, 0), 0u) << errors[0];
  EXPECT_TRUE(errors[0].ends_with(" in: " + sql)) << errors[0];
  errors.clear();
}

TEST_F(DbTest, AFailedStatementIsReportedAndYieldsNoRows) {
  db.Statement(1, "select Vocab from run1");  // an earlier result on the number
  db.Statement(1, "select nosuch from run1");
  db.FetchResult(1);
  EXPECT_EQ(db.EndOfData(1), -1);
  EXPECT_EQ(db.ColumnUInt(1, 1), 0u);
  ExpectOneFailure(errors,
                   ProjectsOnServer() ? "ERROR:  column \"nosuch\" does not exist"
                                      : "no such column: nosuch",
                   "select nosuch from run1");
  EXPECT_EQ(db.FailureCount(), 1);

  // A quote inside a quoted text breaks the statement, which then has no effect.
  db.Statement(1, "insert into calib (filen, gr) values ('o'brien.txt', 1)");
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Database error: ", 0), 0u);
  EXPECT_EQ(Single("select count(*) from calib"), 0.0);
  errors.clear();
}

TEST_F(DbTest, RuntimeFailuresAreReportedToo) {
  db.Statement(1, "insert into run1 (Vocab) values ('a')");
  db.Statement(1, "create unique index u on run1 (Vocab)");
  db.Statement(1, "insert into run1 (Vocab) values ('a')");
  ExpectOneFailure(errors,
                   ProjectsOnServer() ? "ERROR:  duplicate key value violates unique constraint"
                                      : "UNIQUE constraint failed: run1.Vocab",
                   "insert into run1 (Vocab) values ('a')");
}

TEST(GatewayClosed, StatementsWithoutADatabaseFailVisibly) {
  Database db;
  Strings errors;
  db.SetErrorSink([&](const std::string& m) { errors.push_back(m); });
  db.Statement(1, "select 1");
  db.FetchResult(1);
  EXPECT_EQ(db.EndOfData(1), -1);
  EXPECT_EQ(errors, Strings{"Database error: no database is open in: select 1"});
  EXPECT_FALSE(db.Begin());
  EXPECT_FALSE(db.InTransaction());
  EXPECT_FALSE(CompactDatabase(db));
}

TEST(GatewayOpen, OpensOnlyExistingDatabases) {
  TempFolder tmp;
  Database db;
  int reported = 0;
  db.SetErrorSink([&](const std::string&) { ++reported; });
  EXPECT_FALSE(db.OpenFile(tmp.Path() + "missing.db"));
  EXPECT_FALSE(FileExists(tmp.Path() + "missing.db"));
  EXPECT_FALSE(db.OpenFile(tmp.Write("notes.db", "these are no pages of a database, just text")));
  EXPECT_FALSE(db.IsOpen());
  EXPECT_EQ(reported, 2);
}

TEST_F(DbTest, OpeningReplacesTheConnection) {
  if (ProjectsOnServer()) GTEST_SKIP() << kSqliteFilesOnly;
  db.Statement(2, "select 1");
  ASSERT_TRUE(CreateProjectDatabase(tmp.Path(), "other", Config()));
  ASSERT_TRUE(db.OpenFile(DatabaseFilePath(tmp.Path(), "other")));
  EXPECT_EQ(db.FilePath(), DatabaseFilePath(tmp.Path(), "other"));
  db.FetchResult(2);
  EXPECT_EQ(db.EndOfData(2), -1);
  EXPECT_EQ(Single("select count(*) from trainsize"), 1.0);
}

// --- transactions and compaction --------------------------------------------------

TEST_F(DbTest, RollbackUndoesAndCommitKeeps) {
  ASSERT_TRUE(db.Begin());
  EXPECT_TRUE(db.InTransaction());
  db.Statement(1, "insert into calib (filen, gr) values ('lost.txt', 2)");
  ASSERT_TRUE(db.Rollback());
  EXPECT_FALSE(db.InTransaction());
  ASSERT_TRUE(db.Begin());
  db.Statement(1, "insert into calib (filen, gr) values ('kept.txt', 2)");
  ASSERT_TRUE(db.Commit());
  db.Close();
  ASSERT_TRUE(Reopen());
  EXPECT_EQ(Column1("select filen from calib"), Strings{"kept.txt"});
}

TEST_F(DbTest, RollbackWithAListOpenOnTheOtherNumber) {
  for (const char* f : {"'a'", "'b'"}) db.Statement(1, std::string("insert into calib (filen) values (") + f + ")");
  db.Statement(2, "select filen from calib order by filen");
  db.FetchResult(2);
  ASSERT_TRUE(db.Begin());
  db.Statement(1, "update trainsize set g2=g2+1");
  ASSERT_TRUE(db.Rollback());
  EXPECT_EQ(db.ColumnText(2, 1), "a");
  db.FetchResult(2);
  EXPECT_EQ(db.ColumnText(2, 1), "b");
  EXPECT_EQ(Single("select g2 from trainsize"), 0.0);
}

TEST_F(DbTest, VacuumFailsInsideATransactionAndWorksOutside) {
  ASSERT_TRUE(db.Begin());
  EXPECT_FALSE(CompactDatabase(db));
  if (ProjectsOnServer())
    ExpectOneFailure(errors, "ERROR:  VACUUM cannot run inside a transaction block",
                     "VACUUM run1, stem, calib, trainsize");
  else
    ExpectOneFailure(errors, "cannot VACUUM from within a transaction", "VACUUM");
  ASSERT_TRUE(db.Rollback());
  db.Statement(1, "insert into run1 (Vocab) values ('a')");
  db.Statement(1, "insert into run1 (Vocab) values ('b')");
  db.Statement(1, "select Vocab from run1");
  db.FetchResult(1);  // a list read only partly must not block compaction
  EXPECT_TRUE(CompactDatabase(db));
  EXPECT_EQ(Column1("select Vocab from run1 order by Vocab"), (Strings{"a", "b"}));
}

TEST(SqlQuote, DoublesSingleQuotes) {
  EXPECT_EQ(SqlQuote("o'brien's.txt"), "o''brien''s.txt");
  EXPECT_EQ(SqlQuote(""), "");
  EXPECT_EQ(SqlQuote("''"), "''''");
}

}  // namespace
}  // namespace tarne::testing
