#include "project_command.h"

namespace tarne::cli {

bool ProjectCommand::Load(const std::string& projectFile) { return session.LoadProject(projectFile); }

}  // namespace tarne::cli
