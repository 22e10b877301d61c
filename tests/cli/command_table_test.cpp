// The command table: every option a command takes is named in its help, and
// every command is in the overview.
#include <gtest/gtest.h>

#include "commands.h"

namespace tarne::testing {
namespace {

TEST(CommandTable, EveryOptionIsInItsHelpAndEveryCommandInTheOverview) {
  const std::string overview = cli::Overview();
  for (const cli::Command* command : cli::CommandTable()) {
    const std::string usage = command->usage;
    EXPECT_EQ(usage.rfind(std::string("usage: tarne-cli ") + command->name, 0), 0u)
        << command->name;
    EXPECT_NE(overview.find(std::string("  ") + command->name + " "), std::string::npos)
        << command->name;
    for (const auto* options : {&command->valueOptions, &command->flagOptions})
      for (const std::string& option : *options)
        EXPECT_NE(usage.find("--" + option), std::string::npos) << command->name << " --" << option;
  }
}

}  // namespace
}  // namespace tarne::testing
