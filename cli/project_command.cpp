#include "project_command.h"

#include <iostream>

namespace tarne::cli {

bool ProjectCommand::Load(const std::string& projectFile) {
  if (!session.LoadProject(projectFile)) return false;
  watch_.emplace(session.db);
  return true;
}

int ProjectCommand::Exit(int code) {
  if (!watch_ || !watch_->Failed() || code != 0) return code;
  std::cerr << "Database error: " << session.db.LastError() << "\n";
  return 1;
}

}  // namespace tarne::cli
