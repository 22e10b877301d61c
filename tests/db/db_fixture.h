// A project database in a temporary folder (or on the test server, see
// support/test_server.h), open as database 1, with every reported failure
// collected.  A test that expects failures clears errors;
// any other failure fails the test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/database_files.h"
#include "db/gateway.h"
#include "support/temp_folder.h"
#include "support/test_server.h"

namespace tarne::testing {

class DbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (ProjectsOnServer()) {
      const std::string problem = server.Create("grade7");
      ASSERT_EQ(problem, "");
    } else {
      ASSERT_TRUE(CreateProjectDatabase(tmp.Path(), "grade7", Config()));
    }
    db.SetErrorSink([this](const std::string& m) { errors.push_back(m); });
    ASSERT_TRUE(Reopen());
  }
  void TearDown() override { EXPECT_EQ(errors, std::vector<std::string>{}); }

  std::string Config() const { return tmp.Path() + "config/"; }
  std::string File() const { return DatabaseFilePath(tmp.Path(), "grade7"); }
  // Opens the project database afresh, on whichever engine holds it.
  bool Reopen() {
    return ProjectsOnServer() ? db.OpenServer(server.Connection(), "grade7") : db.OpenFile(File());
  }

  // The first column of every row of a query on statement number stmt.
  std::vector<std::string> Column1(const std::string& sql, int stmt = 1) {
    std::vector<std::string> rows;
    db.Statement(stmt, sql);
    db.FetchResult(stmt);
    while (db.EndOfData(stmt) == 0) {
      rows.push_back(db.ColumnText(stmt, 1));
      db.FetchResult(stmt);
    }
    return rows;
  }
  // Column 1 of a single-row query, read the way the program reads sums.
  double Single(const std::string& sql) {
    db.Statement(1, sql);
    db.FetchResult(1);
    return db.ColumnFloat(1, 1);
  }

  TempFolder tmp;
  ServerTestDatabase server;  // dropped after db has closed
  Database db;
  std::vector<std::string> errors;
};

}  // namespace tarne::testing
