// The current project's settings and the project file (.trn) that holds them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "text/tokenizer.h"

namespace tarne {

// Folders end with "/" once saved.  The per-group sequences hold exactly
// incats entries; group g is at index g - 1.
struct ProjectSettings {
  std::int16_t incats = 0;
  std::string dbprogram;
  std::string sname;
  std::string path2root;
  std::string path2msa;
  std::string path2new;
  std::vector<std::string> path2train;
  std::vector<std::string> path2trial;
  std::vector<double> priors;
  double common = 0;
  double rare = 0;
  double lowinfo = 0;
  std::int32_t wkeep = 0;
  // Stored as allsentences= and minwordlength= only when they are not the
  // classic rules, so a classic project's file is as it always was, and a
  // file without them reads as the classic rules.
  CountingRules rules;
  // Names the user gave the groups ("weak", "strong"), group g at index
  // g - 1; "" for a group without one.  Stored as groupname1= and so on,
  // only for named groups: an unnamed project's file is as it always was.
  // Charts, tables and JSON show them; the text reports keep the numbers.
  std::vector<std::string> groupNames;

  int Groups() const { return incats; }
  std::string ProjectFilePath() const { return path2root + sname + ".trn"; }
  std::string DatabasePath() const { return path2root + sname + ".db"; }
  std::string LogFilePath() const { return path2root + sname + ".log"; }
};

// Group g's name in names (index g - 1), or "" when it has none.
std::string GroupName(const std::vector<std::string>& names, int g);

// Thresholds that are 0 after a save or a load take these values.
inline constexpr double kCommonDefault = 1000;
inline constexpr double kRareDefault = 40;
// (The low-information default is kLowInfoDefault of shell/numbers.h.)

// The project file text that saving these settings writes (CR LF lines and
// one further CR LF at the end).
std::string ProjectFileText(const ProjectSettings& settings);

// Fills settings from the project file at path.  Answers false, with
// nothing changed, when there is no such file.
bool LoadProjectFile(const std::string& path, ProjectSettings& settings);

// What keeps the project file at path from making a project: its group
// count ("incats") must be a whole number from 2 to 5, written in the file.
// Loading clamps any count into what the database can hold; a project with
// a count it was never created with would score against the wrong groups.
// "" when the count is sound (or the file cannot be read).
std::string GroupCountProblem(const std::string& path);

// Characters a short name may not hold: it names a file beside the project
// and the project's data source, whose names stop at ";" and treat brackets,
// braces and the like as syntax.
inline constexpr const char* kShortNameForbidden = "[]{}(),;?*=!@\\/";
// A non-empty name without those characters and without control characters.
bool IsValidShortName(const std::string& sname);

// A value the project file can hold: no line break (it would end the line
// and could forge another) and no "=" (a line holds exactly one).
bool IsStorableValue(const std::string& value);

// Trims blanks; a text longer than 2 characters gets a trailing "/" and every
// missing folder along it is created.  Answers whether a folder was created.
bool NormalizeFolder(std::string& folder);

}  // namespace tarne
