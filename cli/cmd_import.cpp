#include <filesystem>
#include <iostream>
#include <string>

#include "args.h"
#include "commands.h"
#include "import/import_essays.h"
#include "project/save_project.h"
#include "project_command.h"
#include "shell/numbers.h"

namespace tarne::cli {

namespace {

const char* kImportUsage =
    "usage: tarne-cli import FILE --name N --root DIR --text COLUMN --score COLUMN\n"
    "                        [--id COLUMN] [--where COLUMN=VALUE]\n"
    "                        [--groups RANGES | --quantiles G] [--trial SHARE] [--seed N]\n"
    "                        [--prior P ...] [--common X] [--rare Y] [--lowinfo Z] [--msa DIR]\n"
    "                        [--all-sentences] [--min-word-length N]\n"
    "                        [--yes] [--backup|--no-backup]\n"
    "                        [--server \"host=H port=P dbname=D user=U\"]\n"
    "Reads scored essays from a spreadsheet saved as CSV or tab-separated text\n"
    "(first row: column names; UTF-8 with or without a byte-order mark, else\n"
    "Windows-1252), bins the scores into groups (--groups \"2-7,8,9,10,11-12\": 2\n"
    "to 5 ranges of scores, or --quantiles G: G groups of nearly equal size),\n"
    "writes one UTF-8 text file per essay under DIR/train/gK/, DIR/trial/gK/ (a\n"
    "share of each group chosen with the seed; --trial, default 0.2) and\n"
    "DIR/new/ (rows without a score), creates project N in DIR over those\n"
    "folders (the options of new) and prints the group sizes.  --where keeps the\n"
    "rows whose COLUMN holds VALUE.  Files are named after --id (else the line).\n"
    "Rows with an empty text or an unreadable score are reported and skipped.\n"
    "--server keeps the project's tables on a PostgreSQL server, as new does.\n";

std::string AbsoluteFolder(const std::string& typed) {
  std::error_code ec;
  std::string text = std::filesystem::absolute(typed, ec).string();
  if (ec) text = typed;
  if (!text.empty() && text.back() != '/') text += '/';
  return text;
}

}  // namespace

int RunImport(const Args& a) {
  if (a.positional.size() != 1) return UsageError("one FILE is needed", kImportUsage);
  for (const char* needed : {"name", "root", "text", "score"})
    if (a.Value(needed).empty()) return UsageError(std::string("--") + needed + " is needed", kImportUsage);
  if (a.Value("groups").empty() == a.Value("quantiles").empty())
    return UsageError("give --groups or --quantiles", kImportUsage);
  if (a.Has("backup") && a.Has("no-backup"))
    return UsageError("give --backup or --no-backup, not both", kImportUsage);
  CountingRules rules;
  std::string message;
  if (!ParseCountingRules(a, rules, message)) return UsageError(message, kImportUsage);

  ImportOptions o;
  o.file = a.positional[0];
  o.root = AbsoluteFolder(a.Value("root"));
  o.textColumn = a.Value("text");
  o.scoreColumn = a.Value("score");
  o.idColumn = a.Value("id");
  if (const std::string w = a.Value("where"); !w.empty()) {
    const size_t eq = w.find('=');
    if (eq == std::string::npos || eq == 0)
      return UsageError("--where needs COLUMN=VALUE", kImportUsage);
    o.whereColumn = w.substr(0, eq);
    o.whereValue = w.substr(eq + 1);
  }
  o.groups = a.Value("groups");
  const std::string quantiles = a.Value("quantiles");
  if (!quantiles.empty()) {
    if (quantiles.size() != 1 || quantiles[0] < '2' || quantiles[0] > '5')
      return UsageError("--quantiles must be 2, 3, 4 or 5", kImportUsage);
    o.quantiles = quantiles[0] - '0';
  }
  o.trialShare = NumericValue(a.Value("trial", "0.2"));
  if (!(o.trialShare >= 0 && o.trialShare < 1))
    return UsageError("--trial must be a share from 0 to below 1", kImportUsage);
  const std::string seed = a.Value("seed", "1");
  if (seed.empty() || seed.size() > 9 || seed.find_first_not_of("0123456789") != std::string::npos)
    return UsageError("--seed must be a whole number", kImportUsage);
  o.seed = static_cast<std::uint32_t>(std::stoul(seed));

  ImportResult result;
  std::string why;
  if (!ImportEssays(o, result, why)) {
    std::cerr << "tarne-cli: " << why << "\n";
    return 1;
  }
  std::cout << ImportSummary(result);

  const size_t groups = static_cast<size_t>(result.Groups());
  if (!a.All("prior").empty() && a.All("prior").size() != groups)
    return UsageError("give --prior once per group (" + std::to_string(groups) +
                          " times) or not at all",
                      kImportUsage);
  ProjectDialogValues values;
  values.groups = result.Groups();
  values.sname = a.Value("name");
  values.dbprogram = a.All("server").empty() ? "MSACCESS" : kServerProgram;
  values.dbserver = a.Value("server");
  values.root = o.root;
  values.msa = a.Value("msa").empty() ? "" : AbsoluteFolder(a.Value("msa"));
  values.newFolder = result.newFolder;
  values.common = a.Value("common");
  values.rare = a.Value("rare");
  values.lowinfo = a.Value("lowinfo");
  values.train = result.trainFolders;
  values.trial = result.trialFolders;
  values.priors = a.All("prior");
  values.priors.resize(groups);
  values.rules = rules;

  ProjectCommand command;
  return command.Create(values, a) ? 0 : 1;
}

const Command kImportCommand{
    "import", "Projects",
    "  import FILE --name N --root DIR --text COL --score COL [...]   a project\n"
    "                                       from a spreadsheet of scored essays\n",
    kImportUsage,
    {"name", "root", "text", "score", "id", "where", "groups", "quantiles", "trial", "seed",
     "prior", "common", "rare", "lowinfo", "msa", "min-word-length", "server"},
    {"yes", "backup", "no-backup", "all-sentences"},
    RunImport};

}  // namespace tarne::cli
