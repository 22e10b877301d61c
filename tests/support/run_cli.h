// Runs the tarne-cli binary as a child process, for end-to-end tests.
#pragma once

#include <string>
#include <vector>

namespace tarne::testing {

struct CliResult {
  int exitCode = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs tarne-cli with args, standard input from input, XDG_CONFIG_HOME set to
// configHome (never the real home).
// workingFolder, when given, is the folder the command runs in.
CliResult RunCli(const std::vector<std::string>& args, const std::string& configHome,
                 const std::string& input = {}, const std::string& workingFolder = {});

}  // namespace tarne::testing
