#include "run_cli.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "temp_folder.h"

namespace tarne::testing {

CliResult RunCli(const std::vector<std::string>& args, const std::string& configHome,
                 const std::string& input, const std::string& workingFolder) {
  TempFolder io;
  const std::string inPath = io.Write("stdin", input);
  const std::string outPath = io.Path() + "stdout";
  const std::string errPath = io.Path() + "stderr";
  CliResult result;
  pid_t pid = fork();
  if (pid == 0) {
    int in = open(inPath.c_str(), O_RDONLY);
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    if (!workingFolder.empty() && chdir(workingFolder.c_str()) != 0) _exit(126);
    std::vector<char*> argv;
    // TARNE_TEST_CLI runs another build, for comparing two builds' outputs.
    const char* other = std::getenv("TARNE_TEST_CLI");
    std::string program = other && *other ? other : TARNE_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copy = args;
    for (std::string& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  return result;
}

}  // namespace tarne::testing
