// The commands of tarne-cli.  Each takes the arguments after its name and
// answers the exit code: 0 done, 1 cancelled or failed, 2 usage error.
#pragma once

#include <string>
#include <vector>

namespace tarne::cli {

using CommandArgs = std::vector<std::string>;

int CmdStem(const CommandArgs& args);
int CmdTokens(const CommandArgs& args);
int CmdNew(const CommandArgs& args);
int CmdShow(const CommandArgs& args);
int CmdTrain(const CommandArgs& args);
int CmdRecompute(const CommandArgs& args);
int CmdRemove(const CommandArgs& args);
int CmdPurge(const CommandArgs& args);
int CmdErase(const CommandArgs& args);
int CmdCompact(const CommandArgs& args);
int CmdScore(const CommandArgs& args);
int CmdStats(const CommandArgs& args);
int CmdTop(const CommandArgs& args);
int CmdEvaluate(const CommandArgs& args);
int CmdImport(const CommandArgs& args);
int CmdDemo(const CommandArgs& args);

// Runs one command line (argv without the program name).
int RunCommandLine(const CommandArgs& argv);

}  // namespace tarne::cli
