// A project with a real database in a temporary folder (or on the test
// server, see support/test_server.h), for the training tests: essay files written by the tests, the session on a recording port,
// and table dumps for comparing whole training states.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/gateway.h"
#include "project/session.h"
#include "support/recording_port.h"
#include "support/temp_folder.h"
#include "support/test_server.h"

namespace tarne::testing {

// A recording port that lets a test act at a given moment of a run (delete a
// file while it is being read, add one while the folder is checked).
class HookedPort : public RecordingPort {
 public:
  std::function<void(const std::string& caption)> onInit;
  std::function<void(const std::string& text)> onSet;

  ProgressHandle PROGRESS_INIT(const std::string& caption) override {
    if (onInit) onInit(caption);
    return RecordingPort::PROGRESS_INIT(caption);
  }
  void PROGRESS_SET(ProgressHandle window, int percent, const std::string& text) override {
    if (onSet) onSet(text);
    RecordingPort::PROGRESS_SET(window, percent, text);
  }
};

// The counts, flags and records of a database, one text line per row in a
// fixed order: equal dumps mean equal training states.
std::vector<std::string> DumpTrainingState(Database& db);

// Every row of a query, its columns read as text and joined by "|".
std::vector<std::string> QueryRows(Database& db, const std::string& sql, int columns);

// Settings of a project named sname in root, with training folders
// essays + "g1/" ... (trial folders beside them), equal priors, defaults.
ProjectSettings MakeSettings(const std::string& root, const std::string& sname,
                             const std::string& essays, int groups);

class TrainingFixture : public ::testing::Test {
 protected:
  void TearDown() override;

  // Creates the project (project file, database, data source) and opens it.
  void MakeProject(int groups = 2, std::vector<double> priors = {});
  // Writes an essay into the training folder of group g and answers its path.
  std::string Essay(int g, const std::string& name, const std::string& text);
  std::string TrainFolder(int g) const { return session->settings.path2train[g - 1]; }

  void Sql(const std::string& sql) { session->db.Statement(1, sql); }
  double Value(const std::string& sql);
  std::vector<std::string> Rows(const std::string& sql, int columns) {
    return QueryRows(session->db, sql, columns);
  }
  std::vector<std::string> Dump() { return DumpTrainingState(session->db); }
  // Whether a backup named name (proj0, ...) exists: a file beside the
  // project, or a schema on the server.
  bool BackupExists(const std::string& name);
  // Log lines of this test without the failed-statement reports.
  std::vector<std::string> LogLines() const;
  // The config home for tarne-cli runs (its datasources.ini is the session's).
  std::string ConfigHome() const { return temp.Path() + "config"; }

  TempFolder temp;
  ServerTestDatabase server;  // dropped after the session has closed
  HookedPort port;
  std::unique_ptr<Session> session;
  bool allowDatabaseErrors = false;
};

}  // namespace tarne::testing
