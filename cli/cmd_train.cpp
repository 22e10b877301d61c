#include <iostream>

#include "args.h"
#include "commands.h"
#include "project_command.h"
#include "training/training.h"

namespace tarne::cli {

namespace {

const char* kTrainUsage =
    "usage: tarne-cli train PROJECT.trn words|pairs|arguments\n"
    "Counts the essays of every group's training folder that are not yet trained\n"
    "for the kind into both vocabulary tables.  Words come first: pairs and\n"
    "arguments are trained on files already trained for words.  An arguments run\n"
    "first recomputes the word frequencies of both tables.  Files are taken in\n"
    "byte order of their names; each essay is recorded as a whole or not at all.\n"
    "Ctrl-C stops after the essay in progress; the next run goes on from there.\n";

}  // namespace

int RunTrain(const Args& a) {
  if (a.positional.size() != 2) return UsageError("give a project file and a kind", kTrainUsage);
  const std::optional<TokenKind> kind = KindNamed(a.positional[1]);
  if (!kind) return UsageError("unknown kind " + a.positional[1], kTrainUsage);

  ProjectCommand command;
  if (!command.Load(a.positional[0])) return 1;
  if (!TrainKind(command.session, *kind)) return 1;
  if (command.port.interrupted()) {
    std::cerr << "Cancelled: the essays trained so far stay recorded.\n";
    return 1;
  }
  return command.Exit(0);
}

const Command kTrainCommand{
    "train", "Training",
    "  train PROJECT.trn words|pairs|arguments\n",
    kTrainUsage,
    {},
    {},
    RunTrain};

}  // namespace tarne::cli
