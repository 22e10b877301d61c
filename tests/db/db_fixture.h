// A project database in a temporary folder, open as database 1, with every
// reported failure collected.  A test that expects failures clears errors;
// any other failure fails the test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/database_files.h"
#include "db/gateway.h"
#include "support/temp_folder.h"

namespace tarne::testing {

class DbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateProjectDatabase(tmp.Path(), "grade7", Config()));
    db.SetErrorSink([this](const std::string& m) { errors.push_back(m); });
    ASSERT_TRUE(db.OpenFile(File()));
  }
  void TearDown() override { EXPECT_EQ(errors, std::vector<std::string>{}); }

  std::string Config() const { return tmp.Path() + "config/"; }
  std::string File() const { return DatabaseFilePath(tmp.Path(), "grade7"); }

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
  Database db;
  std::vector<std::string> errors;
};

}  // namespace tarne::testing
