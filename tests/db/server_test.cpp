#include <gtest/gtest.h>

#include <unistd.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "db/database_files.h"
#include "db/prepared_statement.h"
#include "db/server_connection.h"
#include "db/server_project.h"
#include "db/server_rows.h"
#include "project/run_lock.h"
#include "support/temp_folder.h"
#include "support/test_server.h"

namespace tarne::testing {
namespace {

TEST(ServerSql, RewritesOnlyWhatTheServerReadsDifferently) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"UPDATE run1 SET v1=v1+? WHERE rowid=?", "UPDATE run1 SET v1=v1+$1 WHERE rowid=$2"},
      {"UPDATE run1 SET thisessay = thisessay + ?1 WHERE Vocab = ?2",
       "UPDATE run1 SET thisessay = thisessay + $1 WHERE Vocab = $2"},
      {"select p1 from run1 where Vocab in ('a?','it''s 1.5') and v1> .5",
       "select p1 from run1 where Vocab in ('a?','it''s 1.5') and v1> .5::float8"},
      {"SET p1= 0+(v1+ 1E-05)/(12+ 2.5*300)",
       "SET p1= 0+(v1+ 1E-05::float8)/(12+ 2.5::float8*300)"},
      {"where ( isword ) AND (isphrase) and isarg=1 and (v1) and (IsArg)",
       "where ( isword<>0 ) AND (isphrase<>0) and isarg=1 and (v1) and (IsArg<>0)"},
      {"INSERT INTO run1 (Vocab) VALUES (?)", "INSERT INTO run1 (Vocab) VALUES ($1) RETURNING rowid"},
      {"INSERT INTO stem (rowid, Vocab) VALUES (?, ?)", "INSERT INTO stem (rowid, Vocab) VALUES ($1, $2)"},
      {"INSERT INTO calib (filen) SELECT f FROM unnest(?::text[]) AS x(f)",
       "INSERT INTO calib (filen) SELECT f FROM unnest($1::text[]) AS x(f)"},
      {"insert into trainsize default values", "insert into trainsize default values"},
      {"BEGIN IMMEDIATE", "BEGIN"},
      {"PRAGMA data_version", "SELECT 0"},
      {"FOR g IN 1..n LOOP $$ x 1.5 ? $$ v2", "FOR g IN 1..n LOOP $$ x 1.5 ? $$ v2"},
  };
  for (const auto& [sql, expected] : cases) EXPECT_EQ(ServerSql(sql), expected) << sql;
}

// One project on the server and the same project in a file, both open.
// The schema is named after the process, so that tests run side by side
// never share one.
class ServerEngineTest : public ::testing::Test {
 protected:
  const std::string schema = "tarne_db_test" + std::to_string(::getpid());
  void SetUp() override {
    if (TestServer().empty()) GTEST_SKIP() << kNoTestServer;
    DropServerProject(schema);
    Database creator;
    ASSERT_TRUE(creator.ConnectServer(TestServer())) << creator.LastError();
    ASSERT_TRUE(CreateServerProject(creator, schema)) << creator.LastError();
    ASSERT_TRUE(server.OpenServer(TestServer(), schema)) << server.LastError();
    ASSERT_TRUE(CreateProjectDatabase(tmp.Path(), "grade7", tmp.Path() + "config/"));
    ASSERT_TRUE(file.OpenFile(DatabaseFilePath(tmp.Path(), "grade7")));
  }
  void TearDown() override {
    if (!TestServer().empty()) DropServerProject(schema);
  }
  // Every column of every row, reals in full.
  static std::string Rows(Database& db, const std::string& sql, int columns) {
    std::string out;
    db.Statement(1, sql);
    for (db.FetchResult(1); db.EndOfData(1) == 0; db.FetchResult(1)) {
      for (int c = 1; c <= columns; ++c) {
        char real[40];
        std::snprintf(real, sizeof real, "%.17g", db.ColumnFloat(1, c));
        out += db.ColumnText(1, c) + "=" + real + "=" + std::to_string(db.ColumnSInt(1, c)) + " ";
      }
      out += "\n";
    }
    return out;
  }

  TempFolder tmp;
  Database server;
  Database file;
};

TEST_F(ServerEngineTest, StatementsGiveWhatTheFileEngineGives) {
  const char* setup[] = {
      "insert into run1 (Vocab, isword, v1, v2, w1, w2) values ('cat', 1, 3, 1, 2, 1)",
      "insert into run1 (Vocab, isphrase, v1, v2, w1, w2) values ('big cat', 1, 0, 4, 0, 2)",
      "insert into run1 (Vocab, isword, isstop) values ('the', 1, 1)",
      "update run1 set thisessay=2 where Vocab='cat'",
      "update run1 set v2=v2+thisessay, w2=w2+1 where thisessay>0",
      "Update trainsize set g1 = g1+3",
      "UPDATE run1 SET p1= 0+(v1+ .5)/(7+ .5* 3), p2= 0+(v2+ .5)/(7+ .5* 3) WHERE ( isword )",
      "UPDATE run1 SET entropy = gain( 1, .25, p1, .75, p2, entropy) WHERE (isword)",
  };
  for (const char* sql : setup) {
    file.Statement(1, sql);
    server.Statement(1, sql);
  }
  const std::vector<std::pair<std::string, int>> queries = {
      {"select Vocab, v1, v2, w2, p1, p2, entropy, thisessay from run1 order by rowid", 8},
      {"select sum(v1+v2+v3+v4+v5), count(isword) from run1 where isword=1", 2},
      {"select sum(v1), count(*) from stem", 2},
      {"Select * from trainsize", 5},
      {"select count(vocab) from run1 where 1000*(v1+v2+v3+v4+v5)/ 0 > 1", 1},
      {"select Vocab from run1 where (isphrase) AND (entropy>=0) ORDER BY entropy DESC, rowid", 1},
      {"select log(v1), log(v3), 7/2, 7.0/2, v1/v3 from run1 where Vocab='cat'", 5},
  };
  for (const auto& [sql, columns] : queries)
    EXPECT_EQ(Rows(server, sql, columns), Rows(file, sql, columns)) << sql;
}

TEST_F(ServerEngineTest, BoundTextsRoundTripAndTwoResultSetsStayOpen) {
  const std::string name = "o'brien \xe9t\xe9 \"1\".txt";
  PreparedStatement insert(server, "INSERT into calib (filen, gr, isinwords) Values (?, ?, 1)");
  ASSERT_TRUE(insert.Bind(1, name).Bind(2, std::int64_t{2}).Run());
  EXPECT_EQ(server.LastInsertRowid(), 1);
  ASSERT_TRUE(insert.Bind(1, std::string("b.txt")).Bind(2, std::int64_t{1}).Run());
  EXPECT_EQ(server.LastInsertRowid(), 2);
  PreparedStatement find(server, "select gr from calib where filen=?");
  ASSERT_TRUE(find.Bind(1, name).Step());
  EXPECT_EQ(find.Int(0), 2);
  find.Reset();

  server.Statement(2, "select filen from calib order by rowid");
  server.FetchResult(2);
  server.Statement(1, "select count(*) from calib");
  server.FetchResult(1);
  EXPECT_EQ(server.ColumnUInt(1, 1), 2u);
  EXPECT_EQ(server.ColumnText(2, 1), name);
  server.FetchResult(2);
  EXPECT_EQ(server.ColumnText(2, 1), "b.txt");
  server.FetchResult(2);
  EXPECT_EQ(server.EndOfData(2), -1);
}

// A commit that does not wait for the server's disk still commits; a
// transaction open when the connection ends is given up, not kept by the
// closing step that makes the earlier commits durable.
TEST_F(ServerEngineTest, InterimCommitsKeepTheirRowsAndCloseGivesUpAnOpenTransaction) {
  {
    Database writer;
    ASSERT_TRUE(writer.OpenServer(TestServer(), schema)) << writer.LastError();
    ASSERT_TRUE(writer.Begin());
    writer.Statement(1, "Update trainsize set g1 = g1+3");
    ASSERT_TRUE(writer.CommitInterim()) << writer.LastError();
    EXPECT_FALSE(writer.InTransaction());
    ASSERT_TRUE(writer.Begin());
    writer.Statement(1, "Update trainsize set g2 = g2+5");
  }
  EXPECT_EQ(Rows(server, "select g1, g2 from trainsize", 2), "3=3=3 0=0=0 \n");
}

// Arrays in the binary form: every value comes back as it went, and a row
// written through them reads as one written value by value.
TEST_F(ServerEngineTest, ArraysCarryEveryValueAsItIs) {
  const std::vector<std::string> texts = {"", "a,b", "{x}", "\"q\"", "back\\slash", "NULL",
                                          "it's", "\xe9t\xe9 \x01"};
  const std::vector<std::optional<double>> reals = {0.1, -0.0, 5e-324, 1.7976931348623157e308,
                                                    std::nullopt, 1.0 / 3};
  const std::vector<std::int64_t> ints = {0, -1, INT64_MAX, INT64_MIN};
  ServerArray t(ServerArray::Type::kText), r(ServerArray::Type::kFloat8),
      i(ServerArray::Type::kInt8);
  for (const std::string& v : texts) t.Add(v);
  for (const std::optional<double>& v : reals) r.Add(v);
  for (std::int64_t v : ints) i.Add(v);
  PreparedStatement texts_back(server, "SELECT x FROM unnest(?::text[]) WITH ORDINALITY AS u(x, n) ORDER BY n");
  texts_back.Bind(1, t);
  for (const std::string& v : texts) {
    ASSERT_TRUE(texts_back.Step());
    EXPECT_EQ(texts_back.Text(0), v);
  }
  EXPECT_FALSE(texts_back.Step());
  PreparedStatement reals_back(server, "SELECT x FROM unnest(?::float8[]) WITH ORDINALITY AS u(x, n) ORDER BY n");
  reals_back.Bind(1, r);
  for (const std::optional<double>& v : reals) {
    ASSERT_TRUE(reals_back.Step());
    EXPECT_EQ(reals_back.IsNull(0), !v);
    if (v) {
      EXPECT_EQ(std::bit_cast<std::uint64_t>(reals_back.Real(0)), std::bit_cast<std::uint64_t>(*v));
    }
  }
  PreparedStatement ints_back(server, "SELECT sum(x::numeric)::text, count(*) FROM unnest(?::int8[]) AS x");
  ASSERT_TRUE(ints_back.Bind(1, i).Step());
  EXPECT_EQ(ints_back.Text(0), "-2");
  EXPECT_EQ(ints_back.Int(1), 4);
}

TEST_F(ServerEngineTest, ReservedRowidsAreNeverGivenAgain) {
  ServerRowids rowids(server, "run1");
  const std::vector<std::int64_t> first = rowids.Take(3);
  const std::vector<std::int64_t> second = rowids.Take(2);
  EXPECT_EQ(first, (std::vector<std::int64_t>{1, 2, 3}));
  EXPECT_EQ(second, (std::vector<std::int64_t>{4, 5}));
  server.Statement(1, "insert into run1 (Vocab, isword) values ('dog', 1)");
  EXPECT_EQ(server.LastInsertRowid(), 6);
  EXPECT_TRUE(rowids.Take(0).empty());
}

TEST_F(ServerEngineTest, BackupCopiesTheTablesUnderTheNextFreeName) {
  server.Statement(1, "insert into run1 (Vocab, isword, v1) values ('cat', 1, 3)");
  for (const std::string& expected : {schema + "0", schema + "1"}) {
    const std::string name = NextBackupSchema(server, schema);
    EXPECT_EQ(name, expected);
    ASSERT_TRUE(BackupServerProject(server, schema, name)) << server.LastError();
  }
  Database copy;
  ASSERT_TRUE(copy.OpenServer(TestServer(), schema + "1"));
  EXPECT_EQ(Rows(copy, "select Vocab, v1, rowid from run1", 3), Rows(server, "select Vocab, v1, rowid from run1", 3));
  copy.Statement(1, "insert into run1 (Vocab, isword) values ('dog', 1)");
  EXPECT_EQ(copy.LastInsertRowid(), 2);
}

TEST_F(ServerEngineTest, TheRunLockIsRefusedToASecondConnection) {
  Database other;
  ASSERT_TRUE(other.OpenServer(TestServer(), schema));
  ASSERT_TRUE(TakeServerRunLock(server, schema));
  EXPECT_FALSE(TakeServerRunLock(other, schema));
  EXPECT_TRUE(TakeServerRunLock(other, "another_project"));
  ReleaseServerRunLock(server, schema);
  EXPECT_TRUE(TakeServerRunLock(other, schema));
}

}  // namespace
}  // namespace tarne::testing
