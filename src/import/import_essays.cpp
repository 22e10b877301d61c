#include "import/import_essays.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>

#include "import/spreadsheet.h"
#include "shell/file_bytes.h"
#include "shell/numbers.h"

namespace fs = std::filesystem;

namespace tarne {

namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

// A whole field as a number; false when it is none.
bool Number(const std::string& text, double& value) {
  const std::string t = Trim(text);
  if (t.empty()) return false;
  char* end = nullptr;
  value = std::strtod(t.c_str(), &end);
  return end == t.c_str() + t.size() && std::isfinite(value);
}

int Column(const Spreadsheet& sheet, const std::string& name, std::string& why) {
  for (size_t i = 0; i < sheet.header.size(); ++i)
    if (Lower(Trim(sheet.header[i])) == Lower(Trim(name))) return static_cast<int>(i);
  why = "no column " + name + "; the columns are:";
  for (const std::string& h : sheet.header) why += " " + Trim(h);
  return -1;
}

// A file name from an id: letters, digits, "." "-" "_" kept, others "_".
std::string SafeName(const std::string& id) {
  std::string out;
  for (char c : Trim(id))
    out += (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.') ? c
                                                                                              : '_';
  if (out.empty() || out[0] == '.') out.insert(0, "essay");
  return out.substr(0, 100);
}

bool HoldsFiles(const std::string& folder) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return false;
  return fs::directory_iterator(folder, ec) != fs::directory_iterator();
}

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  return static_cast<bool>(out);
}

struct Row {
  std::string name;
  std::string text;
  int group = 0;  // 0: new
};

}  // namespace

bool ParseGroupRanges(const std::string& text, std::vector<ScoreRange>& ranges, std::string& why) {
  ranges.clear();
  size_t at = 0;
  while (at <= text.size()) {
    size_t comma = text.find(',', at);
    if (comma == std::string::npos) comma = text.size();
    const std::string item = Trim(text.substr(at, comma - at));
    ScoreRange r;
    // "a" or "a-b"; the dash after the first character separates.
    const size_t dash = item.find('-', 1);
    if (!Number(item.substr(0, dash), r.low) ||
        (dash != std::string::npos ? !Number(item.substr(dash + 1), r.high)
                                   : (r.high = r.low, false)) ||
        r.high < r.low) {
      why = "a group range must be a score or LOW-HIGH, not \"" + item + "\"";
      return false;
    }
    ranges.push_back(r);
    at = comma + 1;
  }
  if (ranges.size() < 2 || ranges.size() > 5) {
    why = "give 2 to 5 group ranges, as in 2-7,8,9,10,11-12";
    return false;
  }
  for (size_t i = 0; i < ranges.size(); ++i)
    for (size_t j = i + 1; j < ranges.size(); ++j)
      if (ranges[i].low <= ranges[j].high && ranges[j].low <= ranges[i].high) {
        why = "group ranges " + std::to_string(i + 1) + " and " + std::to_string(j + 1) +
              " overlap";
        return false;
      }
  return true;
}

bool QuantileRanges(std::vector<double> scores, int groups, std::vector<ScoreRange>& ranges,
                    std::string& why) {
  ranges.clear();
  std::sort(scores.begin(), scores.end());
  const double n = static_cast<double>(scores.size());
  // Each distinct score goes to the group its middle rank falls in, so ties
  // stay together and the groups stay in score order.
  std::vector<ScoreRange> found(static_cast<size_t>(groups), {NAN, NAN});
  for (size_t i = 0; i < scores.size();) {
    size_t j = i;
    while (j < scores.size() && scores[j] == scores[i]) ++j;
    const double middle = (static_cast<double>(i) + static_cast<double>(j)) / 2;
    const int g = std::min(groups - 1, static_cast<int>(middle * groups / n));
    ScoreRange& r = found[static_cast<size_t>(g)];
    if (std::isnan(r.low)) r.low = scores[i];
    r.high = scores[i];
    i = j;
  }
  for (const ScoreRange& r : found)
    if (std::isnan(r.low)) {
      why = "the scores do not split into " + std::to_string(groups) +
            " groups (too few distinct scores); give --groups";
      return false;
    }
  ranges = found;
  return true;
}

bool ImportEssays(const ImportOptions& o, ImportResult& result, std::string& why) {
  result = ImportResult();
  std::string bytes;
  if (!ReadFileBytes(o.file, bytes)) {
    why = "could not read " + o.file;
    return false;
  }
  Spreadsheet sheet;
  if (!ParseSpreadsheet(std::move(bytes), sheet, why)) {
    why = o.file + ": " + why;
    return false;
  }
  const int text = Column(sheet, o.textColumn, why);
  if (text < 0) return false;
  const int score = Column(sheet, o.scoreColumn, why);
  if (score < 0) return false;
  const int id = o.idColumn.empty() ? -1 : Column(sheet, o.idColumn, why);
  if (!o.idColumn.empty() && id < 0) return false;
  const int where = o.whereColumn.empty() ? -1 : Column(sheet, o.whereColumn, why);
  if (!o.whereColumn.empty() && where < 0) return false;

  // The rows to import, bad ones reported by line.
  std::vector<Row> rows;
  std::vector<double> scores;  // of the scored rows, in row order
  std::set<std::string> names;
  for (const SpreadsheetRow& r : sheet.rows) {
    auto field = [&r](int i) { return i < static_cast<int>(r.fields.size()) ? r.fields[i] : ""; };
    if (where >= 0 && Trim(field(where)) != Trim(o.whereValue)) {
      ++result.filtered;
      continue;
    }
    const std::string line = "line " + std::to_string(r.line) + ": ";
    Row row;
    row.text = field(text);
    if (Trim(row.text).empty()) {
      result.skipped.push_back(line + "empty text");
      continue;
    }
    double value = 0;
    const bool scored = !Trim(field(score)).empty();
    if (scored && !Number(field(score), value)) {
      result.skipped.push_back(line + "unreadable score \"" + Trim(field(score)) + "\"");
      continue;
    }
    std::string name = id >= 0 ? SafeName(field(id)) : "line" + std::to_string(r.line);
    for (int k = 2; names.count(name); ++k)
      name = (id >= 0 ? SafeName(field(id)) : "line" + std::to_string(r.line)) + "-" +
             std::to_string(k);
    names.insert(name);
    row.name = name + ".txt";
    row.group = scored ? -1 : 0;  // -1: binned below
    if (scored) scores.push_back(value);
    rows.push_back(std::move(row));
  }
  if (scores.empty()) {
    why = "no row has a readable score and a text";
    return false;
  }

  if (!o.groups.empty()) {
    if (!ParseGroupRanges(o.groups, result.ranges, why)) return false;
  } else if (o.quantiles < 2 || o.quantiles > 5) {
    why = "give --groups RANGES or --quantiles 2 to 5";
    return false;
  } else if (!QuantileRanges(scores, o.quantiles, result.ranges, why)) {
    return false;
  }
  size_t next = 0;
  std::vector<std::vector<size_t>> members(6);
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].group == 0) continue;
    const double value = scores[next++];
    rows[i].group = 0;
    for (int g = 1; g <= result.Groups(); ++g)
      if (value >= result.ranges[g - 1].low && value <= result.ranges[g - 1].high)
        rows[i].group = g;
    if (rows[i].group == 0) {
      result.skipped.push_back(rows[i].name + ": score " + TrimmedNumber(value) +
                               " is in no group range");
      rows[i].group = -2;
      continue;
    }
    members[rows[i].group].push_back(i);
  }

  // The trial share of each group, chosen with the seed.
  std::mt19937 random(o.seed);
  std::vector<bool> trial(rows.size(), false);
  for (int g = 1; g <= result.Groups(); ++g) {
    std::vector<size_t>& m = members[g];
    for (size_t i = m.size(); i > 1; --i) std::swap(m[i - 1], m[random() % i]);
    const size_t share = static_cast<size_t>(std::llround(o.trialShare * static_cast<double>(m.size())));
    for (size_t k = 0; k < m.size(); ++k) trial[m[k]] = k < share;
  }

  for (int g = 1; g <= result.Groups(); ++g) {
    result.trainFolders.push_back(o.root + "train/g" + std::to_string(g) + "/");
    result.trialFolders.push_back(o.root + "trial/g" + std::to_string(g) + "/");
  }
  result.newFolder = o.root + "new/";
  std::vector<std::string> all = result.trainFolders;
  all.insert(all.end(), result.trialFolders.begin(), result.trialFolders.end());
  all.push_back(result.newFolder);
  for (const std::string& folder : all) {
    if (HoldsFiles(folder)) {
      why = folder + " already holds files: import into an empty folder";
      return false;
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
      why = "could not create " + folder;
      return false;
    }
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    const Row& r = rows[i];
    if (r.group < 0) continue;
    std::string folder = result.newFolder;
    if (r.group > 0) {
      folder = trial[i] ? result.trialFolders[r.group - 1] : result.trainFolders[r.group - 1];
      ++(trial[i] ? result.trial : result.train)[r.group];
    } else {
      ++result.newEssays;
    }
    if (!WriteText(folder + r.name, r.text)) {
      why = "could not write " + folder + r.name;
      return false;
    }
  }
  return true;
}

std::string ImportSummary(const ImportResult& r) {
  std::string text;
  for (const std::string& s : r.skipped) text += "Skipped " + s + "\n";
  for (int g = 1; g <= r.Groups(); ++g) {
    const ScoreRange& range = r.ranges[g - 1];
    std::string scores = TrimmedNumber(range.low);
    if (range.high != range.low) scores += "-" + TrimmedNumber(range.high);
    text += "Group " + std::to_string(g) + " (scores " + scores + "): " +
            std::to_string(r.train[g] + r.trial[g]) + " essays, " + std::to_string(r.train[g]) +
            " to train, " + std::to_string(r.trial[g]) + " for trial\n";
  }
  text += "New essays (no score): " + std::to_string(r.newEssays) + "\n";
  if (r.filtered > 0) text += "Rows left out by --where: " + std::to_string(r.filtered) + "\n";
  if (!r.skipped.empty()) text += "Rows skipped: " + std::to_string(r.skipped.size()) + "\n";
  return text;
}

}  // namespace tarne
