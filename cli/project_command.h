// What the project commands share: the console port and a session with the
// project loaded (project file, then its database).
#pragma once

#include <optional>
#include <string>

#include "console_port.h"
#include "args.h"
#include "db/gateway.h"
#include "project/save_project.h"
#include "project/session.h"

namespace tarne::cli {

struct ProjectCommand {
  ConsolePort port;
  Session session{port};
  // Loads the project file and opens its database; false (and a message on
  // standard error) when either fails.  From then on the database is watched
  // for failed statements.
  bool Load(const std::string& projectFile);
  // The exit code of a command whose work answered code.  A statement that
  // failed on the project's database while the command ran makes it 1: a
  // report read from a failed statement is no result, whatever the code
  // doing the work concluded.
  int Exit(int code);
  // Creates the project of values as `new` does (--yes confirms replacing a
  // database, --no-backup declines its copy), opens its database and says
  // "Project NAME created" on standard output; false when it was refused or
  // failed (the user has been told why).
  bool Create(ProjectDialogValues& values, const Args& a);

 private:
  std::optional<FailureWatch> watch_;
};

}  // namespace tarne::cli
