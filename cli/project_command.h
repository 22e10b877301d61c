// What the project commands share: the console port and a session with the
// project loaded (project file, then its database).
#pragma once

#include <memory>
#include <string>

#include "console_port.h"
#include "project/session.h"

namespace tarne::cli {

struct ProjectCommand {
  ConsolePort port;
  Session session{port};
  // Loads the project file and opens its database; false (and a message on
  // standard error) when either fails.
  bool Load(const std::string& projectFile);
};

}  // namespace tarne::cli
