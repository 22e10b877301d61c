#include <iostream>
#include <string>

#include "args.h"
#include "commands.h"
#include "project/save_project.h"
#include "project_command.h"

namespace tarne::cli {

namespace {

const char* kNewUsage =
    "usage: tarne-cli new --name SNAME --root DIR --groups G --train DIR --trial DIR ...\n"
    "                     [--new DIR] [--prior P ...] [--common X] [--rare Y]\n"
    "                     [--lowinfo Z] [--msa DIR]\n"
    "Creates a project of G groups (2 to 5): its project file ROOT/SNAME.trn, its\n"
    "database ROOT/SNAME.db and its data source.  Give --train and --trial once per\n"
    "group, in group order, and --prior once per group or not at all (the priors\n"
    "are normalised to sum to 1; none, or all 0, gives equal priors).  Thresholds\n"
    "left out, or 0, take their defaults (common 1000, rare 40, low information\n"
    "0.3).  --msa names the folder that holds MSACCESS.EXE.\n";

}  // namespace

int CmdNew(const CommandArgs& args) {
  Args a = ParseArgs(args,
                     {"name", "root", "groups", "train", "trial", "new", "prior", "common", "rare",
                      "lowinfo", "msa"},
                     {"help"});
  if (!a.error.empty()) return UsageError(a.error, kNewUsage);
  if (a.Has("help")) {
    std::cout << kNewUsage;
    return 0;
  }
  if (!a.positional.empty()) return UsageError("unexpected argument " + a.positional[0], kNewUsage);

  const std::string groupsText = a.Value("groups");
  if (groupsText.size() != 1 || groupsText[0] < '2' || groupsText[0] > '5')
    return UsageError("--groups must be 2, 3, 4 or 5", kNewUsage);
  const int groups = groupsText[0] - '0';
  const std::size_t g = static_cast<std::size_t>(groups);
  if (a.All("train").size() != g)
    return UsageError("give --train once per group (" + groupsText + " times)", kNewUsage);
  if (a.All("trial").size() != g)
    return UsageError("give --trial once per group (" + groupsText + " times)", kNewUsage);
  if (!a.All("prior").empty() && a.All("prior").size() != g)
    return UsageError("give --prior once per group (" + groupsText + " times) or not at all",
                      kNewUsage);

  ProjectDialogValues values;
  values.groups = groups;
  values.sname = a.Value("name");
  values.dbprogram = "MSACCESS";
  values.root = a.Value("root");
  values.msa = a.Value("msa");
  values.newFolder = a.Value("new");
  values.common = a.Value("common");
  values.rare = a.Value("rare");
  values.lowinfo = a.Value("lowinfo");
  values.train = a.All("train");
  values.trial = a.All("trial");
  values.priors = a.All("prior");
  values.priors.resize(g);

  ProjectCommand command;
  Session& session = command.session;
  // A refusal has already told the user why.
  if (!SaveProject(session, values, SaveMode::New)) return 1;
  if (!session.OpenProjectDatabase()) return 1;
  const std::string& sname = session.settings.sname;
  session.Message("Project " + sname + " created", kProgramName);
  session.Log("Database " + sname + " created");
  return 0;
}

}  // namespace tarne::cli
