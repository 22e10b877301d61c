#include <algorithm>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <string>

#include "args.h"
#include "commands.h"
#include "project/save_project.h"
#include "project_command.h"
#include "shell/blanks.h"
#include "training/training.h"

namespace fs = std::filesystem;

namespace tarne::cli {

namespace {

const char* kNewUsage =
    "usage: tarne-cli new --name SNAME --root DIR --groups G --train DIR --trial DIR ...\n"
    "                     [--new DIR] [--prior P ...] [--common X] [--rare Y]\n"
    "                     [--lowinfo Z] [--msa DIR] [--all-sentences]\n"
    "                     [--min-word-length N] [--yes] [--backup|--no-backup]\n"
    "                     [--server \"host=H port=P dbname=D user=U\"]\n"
    "Creates a project of G groups (2 to 5): its project file ROOT/SNAME.trn, its\n"
    "database ROOT/SNAME.db and its data source.  Give --train and --trial once per\n"
    "group, in group order, and --prior once per group or not at all (the priors\n"
    "are normalised to sum to 1; none, or all 0, gives equal priors).  Thresholds\n"
    "left out, or 0, take their defaults (common 1000, rare 40, low information\n"
    "0.3).  --msa names the folder that holds MSACCESS.EXE.  Relative folders are\n"
    "taken from the current folder and saved as absolute ones.  When ROOT already\n"
    "holds a database of that name, only --yes replaces it (a back-up copy is made\n"
    "first unless --no-backup is given).\n"
    "Counting rules (fixed while the database holds trained essays; without them a\n"
    "project counts as Tarne always has): --all-sentences skips a sentence without\n"
    "two words to count instead of ending the essay there; --min-word-length N\n"
    "(4, 3 or 2; default 4) counts words of N letters or more.  Both classified\n"
    "better on real essays.\n"
    "--server keeps the project's tables on a PostgreSQL server instead, in a schema\n"
    "named SNAME of the server database that the libpq connection text names.  No\n"
    "password goes into it: libpq's ~/.pgpass or PGPASSWORD, or the prompt, gives it.\n";

// Folders typed on the command line are relative to the folder the command
// runs in; saved as typed they would point elsewhere for every later command
// run from another folder.
std::string Absolute(const std::string& typed) {
  const std::string folder = TrimBlanks(typed);
  if (folder.empty() || folder[0] == '/') return folder;
  std::error_code ec;
  fs::path absolute = fs::absolute(folder, ec);
  if (ec) return folder;
  std::string text = absolute.string();
  if (folder.back() == '/' && text.back() != '/') text += '/';
  return text;
}

// A mistyped folder is created empty by saving; a run over it would train
// or score nothing.  Each group folder that was created, is missing or holds
// no essay is named.
void WarnAboutGroupFolders(const ProjectSettings& s, const std::vector<std::string>& created) {
  auto check = [&created](const std::string& what, int g, const std::string& folder) {
    if (folder.empty()) return;
    const std::string name = "Warning: the " + what + " folder of group " + std::to_string(g);
    if (std::find(created.begin(), created.end(), folder) != created.end())
      std::cerr << name << " did not exist and was created empty: " << folder << "\n";
    else if (!IsFolder(folder))
      std::cerr << name << " does not exist: " << folder << "\n";
    else if (ListEssayFiles(folder).empty())
      std::cerr << name << " holds no essay: " << folder << "\n";
  };
  for (std::size_t i = 0; i < s.path2train.size(); ++i)
    check("training", static_cast<int>(i) + 1, s.path2train[i]);
  for (std::size_t i = 0; i < s.path2trial.size(); ++i)
    check("trial", static_cast<int>(i) + 1, s.path2trial[i]);
}

}  // namespace

int RunNew(const Args& a) {
  if (!a.positional.empty()) return UsageError("unexpected argument " + a.positional[0], kNewUsage);
  if (a.Has("backup") && a.Has("no-backup"))
    return UsageError("give --backup or --no-backup, not both", kNewUsage);

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
  CountingRules rules;
  std::string message;
  if (!ParseCountingRules(a, rules, message)) return UsageError(message, kNewUsage);

  ProjectDialogValues values;
  values.groups = groups;
  values.sname = a.Value("name");
  values.dbprogram = a.All("server").empty() ? "MSACCESS" : kServerProgram;
  values.dbserver = a.Value("server");
  values.root = Absolute(a.Value("root"));
  values.msa = Absolute(a.Value("msa"));
  values.newFolder = Absolute(a.Value("new"));
  values.common = a.Value("common");
  values.rare = a.Value("rare");
  values.lowinfo = a.Value("lowinfo");
  for (const std::string& folder : a.All("train")) values.train.push_back(Absolute(folder));
  for (const std::string& folder : a.All("trial")) values.trial.push_back(Absolute(folder));
  values.priors = a.All("prior");
  values.rules = rules;
  values.priors.resize(g);

  ProjectCommand command;
  if (!command.Create(values, a)) return 1;
  WarnAboutGroupFolders(command.session.settings, values.createdFolders);
  return 0;
}

const Command kNewCommand{
    "new", "Projects",
    "  new --name N --root DIR --groups G --train DIR.. --trial DIR.. [...]\n",
    kNewUsage,
    {"name", "root", "groups", "train", "trial", "new", "prior", "common", "rare", "lowinfo",
     "msa", "min-word-length", "server"},
    {"yes", "backup", "no-backup", "all-sentences"},
    RunNew};

}  // namespace tarne::cli
