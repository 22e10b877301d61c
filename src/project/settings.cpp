#include "project/settings.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include <unistd.h>

#include "project/text_lines.h"
#include "shell/file_bytes.h"
#include "shell/numbers.h"

namespace fs = std::filesystem;

namespace tarne {

namespace project_text {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::size_t next = end + 1;
    if (end > pos && text[end - 1] == '\r') --end;
    lines.push_back(text.substr(pos, end - pos));
    pos = next;
  }
  return lines;
}

bool ReadWholeFile(const std::string& path, std::string& out) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  return ReadFileBytes(path, out);
}

namespace {

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  return !out.fail();
}

}  // namespace

bool WriteWholeFile(const std::string& path, const std::string& text) {
  std::error_code ec;
  // A link stays a link: its target is what gets replaced.
  fs::path target = path;
  if (fs::is_symlink(target, ec)) target = fs::canonical(target, ec);
  if (ec) return WriteFile(path, text);
  const fs::path temp = target.string() + ".new" + std::to_string(::getpid());
  std::ofstream out(temp, std::ios::binary | std::ios::trunc);
  if (!out) return WriteFile(path, text);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (out.fail()) {
    fs::remove(temp, ec);
    return false;
  }
  // The file keeps the permissions it had.
  const fs::file_status old = fs::status(target, ec);
  if (!ec && fs::exists(old)) fs::permissions(temp, old.permissions(), ec);
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

}  // namespace project_text

using namespace project_text;

namespace {

const char* const kLineEnd = "\r\n";

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Rounds a file value into an integer field, keeping absurd or non-finite
// values from overflowing it.
long RoundInto(double value, long low, long high) {
  if (std::isnan(value)) return 0;
  value = std::clamp(std::round(value), static_cast<double>(low), static_cast<double>(high));
  return static_cast<long>(value);
}

// The database keeps counts for five groups at most, so a group count beyond
// that (or below 0) could only index columns that do not exist.
constexpr long kMaxGroups = 5;

// Group number of a per-group key: the numeric value of its last character.
// Answers the vector index, or -1 when the group is outside 1..size.
int GroupIndex(const std::string& key, std::size_t size) {
  double g = NumericValue(key.substr(key.size() - 1));
  if (g < 1 || g > static_cast<double>(size)) return -1;
  return static_cast<int>(g) - 1;
}

// Splits a usable line into its key, its value and the part of the key that
// names it; false for a line that holds no setting.
bool SplitSetting(const std::string& line, std::string& key, std::string& value,
                  std::string& match) {
  if (std::count(line.begin(), line.end(), '=') != 1) return false;
  std::size_t eq = line.find('=');
  key = TrimBlanks(line.substr(0, eq));
  value = TrimBlanks(line.substr(eq + 1));
  if (key.empty()) return false;
  // Only the characters before the last one are compared: "incatz" counts as
  // "incats" and the group digit of "priors3" is not part of the match.
  match = Lower(key.substr(0, key.size() - 1));
  return true;
}

// A value may hold "=" (a server's connection text does) but a line only
// one: "%" and "=" are written as %25 and %3D.
std::string EncodeSettingValue(const std::string& value) {
  std::string out;
  for (char c : value) {
    if (c == '%')
      out += "%25";
    else if (c == '=')
      out += "%3D";
    else
      out += c;
  }
  return out;
}

std::string DecodeSettingValue(const std::string& value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value.compare(i, 3, "%25") == 0) {
      out += '%';
      i += 2;
    } else if (value.compare(i, 3, "%3D") == 0) {
      out += '=';
      i += 2;
    } else {
      out += value[i];
    }
  }
  return out;
}

void ApplyLine(const std::string& line, ProjectSettings& s) {
  std::string key, value, match;
  if (!SplitSetting(line, key, value, match)) return;

  if (match == "incat") {
    s.incats = static_cast<std::int16_t>(RoundInto(NumericValue(value), 0, kMaxGroups));
    const std::size_t g = static_cast<std::size_t>(s.incats);
    s.path2train.assign(g, std::string());
    s.path2trial.assign(g, std::string());
    s.priors.assign(g, 0.0);
    s.groupNames.assign(g, std::string());
  } else if (match == "dbprogra") {
    s.dbprogram = value;
  } else if (match == "dbserve") {
    s.dbserver = DecodeSettingValue(value);
  } else if (match == "snam") {
    s.sname = value;
  } else if (match == "path2roo") {
    s.path2root = value;
  } else if (match == "path2ms") {
    s.path2msa = value;
  } else if (match == "path2ne") {
    s.path2new = value;
  } else if (match == "path2train") {
    if (int i = GroupIndex(key, s.path2train.size()); i >= 0) s.path2train[i] = value;
  } else if (match == "path2trial") {
    if (int i = GroupIndex(key, s.path2trial.size()); i >= 0) s.path2trial[i] = value;
  } else if (match == "priors") {
    if (int i = GroupIndex(key, s.priors.size()); i >= 0) s.priors[i] = NumericValue(value);
  } else if (match == "groupname") {
    if (int i = GroupIndex(key, s.groupNames.size()); i >= 0) s.groupNames[i] = value;
  } else if (match == "commo") {
    s.common = NumericValue(value);
  } else if (match == "rar") {
    s.rare = NumericValue(value);
  } else if (match == "lowinf") {
    s.lowinfo = NumericValue(value);
  } else if (match == "wkee") {
    s.wkeep = static_cast<std::int32_t>(RoundInto(NumericValue(value), INT32_MIN, INT32_MAX));
  } else if (match == "allsentence") {
    s.rules.allSentences = NumericValue(value) != 0;
  } else if (match == "minwordlengt") {
    // 0 (or no number) is the classic length, as with the thresholds.
    const long length = RoundInto(NumericValue(value), 0, kClassicMinWordLength);
    s.rules.minWordLength =
        length == 0 ? kClassicMinWordLength
                    : static_cast<int>(std::max<long>(length, kLeastMinWordLength));
  }
}

}  // namespace

bool ProjectSettings::OnServer() const { return dbprogram == kServerProgram; }

std::string ProjectFileText(const ProjectSettings& s) {
  std::string text;
  auto line = [&text](const std::string& key, const std::string& value) {
    text += key;
    text += '=';
    text += value;
    text += kLineEnd;
  };
  line("incats", PlainNumber(s.incats, 7));
  line("dbprogram", s.dbprogram);
  if (s.OnServer()) line("dbserver", EncodeSettingValue(s.dbserver));
  line("sname", s.sname);
  line("path2root", s.path2root);
  line("path2msa", s.path2msa);
  line("path2new", s.path2new);
  for (int g = 1; g <= s.incats; ++g) {
    const std::size_t i = static_cast<std::size_t>(g - 1);
    const std::string n = TrimmedNumber(g);
    line("path2train" + n, i < s.path2train.size() ? s.path2train[i] : std::string());
    line("path2trial" + n, i < s.path2trial.size() ? s.path2trial[i] : std::string());
    line("priors" + n, TrimmedNumber(i < s.priors.size() ? s.priors[i] : 0.0));
  }
  line("common", PlainNumber(s.common, 15));
  line("rare", PlainNumber(s.rare, 15));
  line("lowinfo", PlainNumber(s.lowinfo, 15));
  line("wkeep", PlainNumber(s.wkeep, 15));
  if (s.rules.allSentences) line("allsentences", PlainNumber(1, 15));
  if (s.rules.minWordLength != kClassicMinWordLength)
    line("minwordlength", PlainNumber(s.rules.minWordLength, 15));
  for (int g = 1; g <= s.incats; ++g)
    if (const std::string name = GroupName(s.groupNames, g); !name.empty())
      line("groupname" + TrimmedNumber(g), name);
  // The file ends with an empty line.
  text += kLineEnd;
  return text;
}

bool LoadProjectFile(const std::string& path, ProjectSettings& settings) {
  std::string text;
  if (!ReadWholeFile(path, text)) return false;

  // Thresholds are the one exception to "a missing line keeps the old value":
  // a file without them gets the defaults, not the previous project's.
  settings.common = 0;
  settings.rare = 0;
  settings.lowinfo = 0;
  // Rules the file does not state are the classic ones, whatever project was
  // open before: they decide how the project's database was counted.
  settings.rules = CountingRules();
  // Names, too, belong to one project only.
  settings.groupNames.clear();
  for (const std::string& line : SplitLines(text)) ApplyLine(line, settings);

  if (settings.rare == 0) settings.rare = kRareDefault;
  if (settings.common == 0) settings.common = kCommonDefault;
  if (settings.lowinfo == 0) settings.lowinfo = kLowInfoDefault;
  return true;
}

std::string GroupCountProblem(const std::string& path) {
  std::string text;
  if (!ReadWholeFile(path, text)) return {};
  std::string written;
  for (const std::string& line : SplitLines(text)) {
    std::string key, value, match;
    if (SplitSetting(line, key, value, match) && match == "incat") written = value;
  }
  const double groups = NumericValue(written);
  if (!written.empty() && groups >= 2 && groups <= kMaxGroups && groups == std::floor(groups))
    return {};
  return "incats must be a group count from 2 to 5" +
         (written.empty() ? std::string(" (the line is missing)") : " (it is " + written + ")");
}

std::string GroupName(const std::vector<std::string>& names, int g) {
  return g >= 1 && static_cast<std::size_t>(g) <= names.size()
             ? names[static_cast<std::size_t>(g - 1)]
             : std::string();
}

bool IsValidShortName(const std::string& sname) {
  if (sname.empty()) return false;
  for (unsigned char c : sname)
    if (c < 0x20 || c == 0x7F) return false;
  return sname.find_first_of(kShortNameForbidden) == std::string::npos;
}

bool IsStorableValue(const std::string& value) {
  return value.find_first_of("=\r\n") == std::string::npos;
}

bool NormalizeFolder(std::string& folder) {
  folder = TrimBlanks(folder);
  // Two characters or fewer is no folder worth completing (an empty edit,
  // ".", a stray letter).
  if (folder.size() <= 2) return false;
  if (folder.back() != '/') folder += '/';
  std::error_code ec;
  // Creation failures are not reported: the folder text is saved as typed and
  // whoever uses the folder later finds it missing.
  return fs::create_directories(folder, ec);
}

}  // namespace tarne
