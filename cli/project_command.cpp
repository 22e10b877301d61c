#include "project_command.h"

#include <iostream>

namespace tarne::cli {

bool ProjectCommand::Load(const std::string& projectFile) {
  if (!session.LoadProject(projectFile)) return false;
  watch_.emplace(session.db);
  return true;
}

bool ProjectCommand::Create(ProjectDialogValues& values, const Args& a) {
  port.confirm = a.Has("yes");
  port.backup = !a.Has("no-backup");
  if (!SaveProject(session, values, SaveMode::New) || !session.OpenProjectDatabase()) return false;
  // The confirmation is the command's output, where a script looks for it.
  std::cout << "Project " << session.settings.sname << " created\n";
  session.Log("Database " + session.settings.sname + " created");
  return true;
}

int ProjectCommand::Exit(int code) {
  if (!watch_ || !watch_->Failed() || code != 0) return code;
  std::cerr << "Database error: " << session.db.LastError() << "\n";
  return 1;
}

}  // namespace tarne::cli
