// Program-wide state: the current project, database 1, the scoring options
// and the port to the user.  One instance per program run (or per test).
#pragma once

#include <string>

#include "db/gateway.h"
#include "project/scoring_options.h"
#include "project/settings.h"
#include "shell/port.h"

namespace tarne {

struct Session {
  explicit Session(Port& port, std::string configFolder = {});

  Port& port;
  std::string configFolder;  // tarne.ini and datasources.ini; ends with "/"
  ProjectSettings settings;
  Database db;
  ScoringOptions options;
  // The run lock this session holds (see project/run_lock.h).
  int runLockDepth = 0;
  int runLockFd = -1;

  // Write project log line.
  void Log(const std::string& message);
  // Append to pane.
  int Append(const std::string& text) { return port.AppendToPane(text); }
  Answer Message(const std::string& text, const std::string& caption = kProgramName,
                 Buttons buttons = Buttons::Ok, Icon icon = Icon::None) {
    return port.MessageBox(text, caption, buttons, icon);
  }

  // Tells the user in the pane that a statement failed, with the engine's
  // message; the project log already holds the statement.
  void ReportDatabaseFailure();

  // Opens "DSN=" + sname as database 1 (falling back to the project's own
  // database file).  On failure tells the user "Could not open the database
  // of project " + sname and answers false.
  bool OpenProjectDatabase();

  // The load path of a project file: LoadProjectFile, open the data source,
  // add it to the recent list.  Answers false when either step failed (the
  // user has been told).
  bool LoadProject(const std::string& projectFile);
};

}  // namespace tarne
