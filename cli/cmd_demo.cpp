#include <stdlib.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "args.h"
#include "commands.h"
#include "project/save_project.h"
#include "project_command.h"

namespace tarne::cli {

namespace {

const char* kDemoUsage =
    "usage: tarne-cli demo [DIR]\n"
    "Creates a project from the sample essays of examples/ in DIR (a new folder\n"
    "under the temporary folder when DIR is not given).\n";

std::string ExamplesFolder() {
  namespace fs = std::filesystem;
  for (fs::path p : {fs::path(TARNE_SOURCE_DIR) / "examples", fs::path("examples")})
    if (fs::exists(p / "train")) return fs::absolute(p).lexically_normal().string() + "/";
  return {};
}

}  // namespace

int CmdDemo(const CommandArgs& args) {
  Args a = ParseArgs(args, {}, {"help"});
  if (!a.error.empty()) return UsageError(a.error, kDemoUsage);
  if (a.Has("help")) {
    std::cout << kDemoUsage;
    return 0;
  }
  if (a.positional.size() > 1) return UsageError("too many arguments", kDemoUsage);
  const std::string examples = ExamplesFolder();
  if (examples.empty()) {
    std::cerr << "tarne-cli: the sample essays (examples/) were not found\n";
    return 1;
  }
  std::string root;
  if (a.positional.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarne-demo-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      std::cerr << "tarne-cli: could not create a folder under the temporary folder\n";
      return 1;
    }
    root = pattern + "/";
  } else {
    root = a.positional[0];
  }
  std::cerr << "The demo project goes into " << root << "\n";

  ProjectDialogValues values;
  values.groups = 3;
  values.sname = "demo";
  values.root = root;
  for (int g = 1; g <= 3; ++g) {
    values.train.push_back(examples + "train/g" + std::to_string(g) + "/");
    values.trial.push_back(examples + "trial/g" + std::to_string(g) + "/");
    values.priors.push_back("");
  }
  ProjectCommand command;
  Session& session = command.session;
  if (!SaveProject(session, values, SaveMode::New)) return 1;
  if (!session.OpenProjectDatabase()) return 1;
  session.Message("Project demo created", kProgramName);
  session.Log("Database demo created");
  session.Append(ProjectFileText(session.settings));
  return 0;
}

}  // namespace tarne::cli
