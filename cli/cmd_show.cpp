#include <iostream>
#include <string>

#include "args.h"
#include "commands.h"
#include "console_port.h"
#include "project/settings.h"

namespace tarne::cli {

namespace {

const char* kShowUsage =
    "usage: tarne-cli show PROJECT.trn\n"
    "Loads the project file and prints the text that saving its settings would\n"
    "write (CR LF line ends, as in the file).\n";

}  // namespace

int RunShow(const Args& a) {
  if (a.positional.size() != 1) return UsageError("give one project file", kShowUsage);

  const std::string& path = a.positional[0];
  ProjectSettings settings;
  if (!LoadProjectFile(path, settings)) {
    ConsolePort port;
    port.MessageBox("Could not open project file " + path, kProgramName, Buttons::Ok,
                    Icon::Exclamation);
    return 1;
  }
  const std::string text = ForConsole(ProjectFileText(settings));
  std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
  std::cout.flush();
  return std::cout ? 0 : 1;
}

const Command kShowCommand{
    "show", "Projects",
    "  show PROJECT.trn                     the project file text of a project\n",
    kShowUsage,
    {},
    {},
    RunShow};

}  // namespace tarne::cli
