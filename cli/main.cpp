#include "commands.h"

int main(int argc, char** argv) {
  tarne::cli::CommandArgs args(argv + 1, argv + argc);
  return tarne::cli::RunCommandLine(args);
}
