#include "project/save_project.h"

#include <cmath>
#include <filesystem>
#include <optional>

#include "db/database_files.h"
#include "project/recent_projects.h"
#include "project/run_lock.h"
#include "project/session.h"
#include "project/text_lines.h"
#include "shell/numbers.h"

namespace fs = std::filesystem;

namespace tarne {

using namespace project_text;

namespace {

const char* const kNumericChars = ".0123456789";

std::string Entry(const std::vector<std::string>& texts, std::size_t i) {
  return i < texts.size() ? texts[i] : std::string();
}

bool HasCompactProgram(const std::string& folder) {
  std::error_code ec;
  // The program is known by its Windows name; a Linux copy of the folder may
  // well carry it in lower case.
  for (const char* name : {"MSACCESS.EXE", "msaccess.exe"})
    if (fs::exists(folder + name, ec)) return true;
  return false;
}

// The character filter shared by every numeric edit: removes every
// occurrence of the first character that is not a digit or point.  Answers
// whether it removed anything.
bool RemoveFirstForeign(std::string& text) {
  std::size_t bad = text.find_first_not_of(kNumericChars);
  if (bad == std::string::npos) return false;
  const char c = text[bad];
  std::string kept;
  for (char x : text)
    if (x != c) kept += x;
  text = kept;
  return true;
}

// One value above 1 cannot be a prior or a low-information threshold; dropping
// the first character keeps what was typed last.  Answers whether it changed.
bool DropLeadOverOne(std::string& text) {
  if (NumericValue(text) <= 1) return false;
  text = TrimBlanks(text.substr(1));
  return true;
}

// A new project over the short name and folder of an existing one would
// replace its database, training and all, by an empty one.  The user says
// so first and may keep a copy.
bool ConfirmReplacingDatabase(Session& session, const ProjectSettings& s) {
  const std::string path = s.DatabasePath();
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(path, ec))) return true;
  if (session.Message("Project " + s.sname + " already has a database:\r\n" + path +
                          "\r\n\r\nReplace it with an empty one? Everything trained in it is "
                          "lost.",
                      "New Project", Buttons::OkCancel, Icon::Exclamation) != Answer::Ok)
    return false;
  Database old;
  Database* source = &old;
  if (session.db.IsOpen() && fs::equivalent(session.db.FilePath(), path, ec))
    source = &session.db;
  else if (!old.OpenFile(path))
    return true;  // not a database that could be copied; nothing to keep
  const std::string log = s.LogFilePath();
  return OfferBackup(session.port, *source, s.path2root, s.sname,
                     [&session, &log](const std::string& line) {
                       session.port.WriteProjectLogLine(log, line);
                     }) != Answer::Cancel;
}

}  // namespace

bool CountingRulesFixed(Session& session) {
  Database& db = session.db;
  if (!db.IsOpen()) return false;
  db.Statement(1, "SELECT count(*) FROM calib WHERE isinwords<>0 OR isinphrases<>0 OR isinargs<>0");
  db.FetchResult(1, 0);
  return db.EndOfData(1) == 0 && db.ColumnUInt(1, 1) > 0;
}

bool SaveProject(Session& session, ProjectDialogValues& values, SaveMode mode) {
  // Everything is worked out on a copy, so a refusal leaves the current
  // project exactly as it was.
  ProjectSettings s = session.settings;
  const int groups = values.groups;
  s.incats = static_cast<std::int16_t>(groups);

  s.sname = TrimBlanks(values.sname);
  if (s.sname.empty()) {
    session.Message("You need to specify a short name", "More information needed", Buttons::Ok,
                    Icon::None);
    return false;
  }

  if (!IsValidShortName(s.sname)) {
    session.Message(std::string("The short name may not hold any of the characters ") +
                        kShortNameForbidden + " or control characters",
                    "More information needed", Buttons::Ok, Icon::None);
    return false;
  }
  // A value with "=" or a line break would be written and then lost, or read
  // back as some other key, when the project is next loaded.
  std::vector<const std::string*> texts = {&values.root, &values.msa, &values.newFolder,
                                           &values.dbprogram};
  for (std::size_t i = 0; i < static_cast<std::size_t>(groups > 0 ? groups : 0); ++i) {
    if (i < values.train.size()) texts.push_back(&values.train[i]);
    if (i < values.trial.size()) texts.push_back(&values.trial[i]);
    if (i < values.groupNames.size()) texts.push_back(&values.groupNames[i]);
  }
  for (const std::string* text : texts) {
    if (IsStorableValue(*text)) continue;
    session.Message("A folder or name may not contain \"=\" or a line break:\r\n" + *text,
                    "More information needed", Buttons::Ok, Icon::None);
    return false;
  }

  if (values.rules.minWordLength < kLeastMinWordLength ||
      values.rules.minWordLength > kClassicMinWordLength)
    values.rules.minWordLength = kClassicMinWordLength;
  if (mode == SaveMode::Edit && !(values.rules == s.rules) && CountingRulesFixed(session)) {
    session.Message(kCountingRulesFixed, "Counting rules", Buttons::Ok, Icon::None);
    return false;
  }
  s.rules = values.rules;

  s.path2root = values.root;
  s.path2msa = values.msa;
  s.path2new = values.newFolder;
  s.common = NumericValue(values.common);
  s.rare = NumericValue(values.rare);
  s.lowinfo = NumericValue(values.lowinfo);
  if (s.common == 0) s.common = kCommonDefault;
  if (s.rare == 0) s.rare = kRareDefault;
  if (s.lowinfo == 0) s.lowinfo = kLowInfoDefault;

  const std::size_t g = static_cast<std::size_t>(groups > 0 ? groups : 0);
  s.path2train.assign(g, std::string());
  s.path2trial.assign(g, std::string());
  s.priors.assign(g, 0.0);
  s.groupNames.assign(g, std::string());
  double sum = 0;
  for (std::size_t i = 0; i < g; ++i) {
    s.groupNames[i] = TrimBlanks(Entry(values.groupNames, i));
    s.path2train[i] = Entry(values.train, i);
    s.path2trial[i] = Entry(values.trial, i);
    s.priors[i] = std::fabs(NumericValue(Entry(values.priors, i)));
    sum += s.priors[i];
  }
  for (double& prior : s.priors) prior = sum == 0 ? 1.0 / groups : prior / sum;

  NormalizeFolder(s.path2root);
  NormalizeFolder(s.path2msa);
  NormalizeFolder(s.path2new);
  values.createdFolders.clear();
  for (std::size_t i = 0; i < g; ++i)
    for (std::string* folder : {&s.path2train[i], &s.path2trial[i]})
      if (NormalizeFolder(*folder)) values.createdFolders.push_back(*folder);

  if (s.path2msa.size() > 2 && !HasCompactProgram(s.path2msa)) {
    // The dialog stays open with the edit cleared, so Done again saves
    // without the path.
    values.msa.clear();
    session.Message("MSACCESS.EXE not found, path erased", "", Buttons::Ok, Icon::None);
    return false;
  }

  s.dbprogram = values.dbprogram;
  s.wkeep = session.settings.wkeep;
  const std::string file = s.ProjectFilePath();
  // A run working on the database about to be replaced would go on writing
  // into the deleted file; the lock is held until the new one is in place.
  std::optional<RunLock> replacing;
  if (mode == SaveMode::New) {
    replacing.emplace(session, s.DatabasePath(), s.sname);
    if (!replacing->Held() || !ConfirmReplacingDatabase(session, s)) return false;
  }
  if (!WriteWholeFile(file, ProjectFileText(s))) {
    // An unwritten project file is not a saved project: the dialog stays
    // open and nothing else changes.
    session.Message("Could not write file " + file, kProgramName, Buttons::Ok, Icon::Exclamation);
    return false;
  }

  session.settings = s;
  if (mode == SaveMode::New) {
    AddRecentProject(session.configFolder, file);
    // A new project over an old short name replaces its database file, which
    // must not be held open meanwhile.
    if (session.db.IsOpen()) session.db.Close();
    if (!CreateProjectDatabase(s.path2root, s.sname, session.configFolder)) {
      session.Message("Could not create the database " + s.DatabasePath(), kProgramName,
                      Buttons::Ok, Icon::Exclamation);
      return false;
    }
  }
  return true;
}

std::string FilterThresholdField(const std::string& text, bool lowInfoField) {
  // In the dialog every change of the edit's text runs the rule again; the
  // loop gives the text that chain of changes settles on.
  std::string result = text;
  for (;;) {
    if (RemoveFirstForeign(result)) continue;
    if (lowInfoField && DropLeadOverOne(result)) continue;
    return result;
  }
}

bool FilterPriorField(std::vector<std::string>& priorTexts, int g) {
  const int groups = static_cast<int>(priorTexts.size());
  if (g < 1 || g > groups) return false;
  // The last group's prior is derived from the others and may be negative,
  // so it is neither filtered nor used to change anything.
  if (g == groups) return false;

  std::string& text = priorTexts[static_cast<std::size_t>(g - 1)];
  for (;;) {
    if (RemoveFirstForeign(text)) continue;
    if (DropLeadOverOne(text)) continue;
    break;
  }

  double sum = 0;
  for (int i = 0; i < groups - 1; ++i) sum += NumericValue(priorTexts[static_cast<std::size_t>(i)]);
  if (sum == 0) return false;
  const bool warn = sum > 1;
  const double rest = std::round((1 - sum) * 1e6) / 1e6;
  priorTexts.back() = TrimmedNumber(rest);
  return warn;
}

}  // namespace tarne
