// Laying a spreadsheet of scored essays out as a project's essay folders:
// scores binned into 2 to 5 groups, one UTF-8 text file per essay under
// ROOT/train/gK/, ROOT/trial/gK/ (a stratified, seeded share) and ROOT/new/
// (rows without a score).  Bad rows are reported by line and skipped;
// nothing already in the folders is overwritten.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarne {

struct ImportOptions {
  std::string file;  // CSV or tab-separated text
  std::string root;  // ends with "/"
  std::string textColumn, scoreColumn, idColumn;  // idColumn may be empty
  std::string whereColumn, whereValue;            // whereColumn may be empty
  std::string groups;  // "2-7,8,9,10,11-12", or empty for quantiles
  int quantiles = 0;   // 2..5 equal-sized groups when groups is empty
  double trialShare = 0.2;
  std::uint32_t seed = 1;
};

// Scores from low to high, both included, make one group.
struct ScoreRange {
  double low = 0, high = 0;
};

struct ImportResult {
  std::vector<ScoreRange> ranges;  // per group
  int train[6] = {0, 0, 0, 0, 0, 0};
  int trial[6] = {0, 0, 0, 0, 0, 0};
  int newEssays = 0;
  int filtered = 0;  // rows --where left out
  std::vector<std::string> skipped;  // "line 12: ..." for each bad row
  std::vector<std::string> trainFolders, trialFolders;
  std::string newFolder;
  int Groups() const { return static_cast<int>(ranges.size()); }
};

// "2-7,8,9,10,11-12": 2 to 5 ranges that do not overlap.
bool ParseGroupRanges(const std::string& text, std::vector<ScoreRange>& ranges, std::string& why);
// groups ranges holding as nearly equal numbers of scores as ties allow.
bool QuantileRanges(std::vector<double> scores, int groups, std::vector<ScoreRange>& ranges,
                    std::string& why);

// Answers false, with why, when the import cannot go on (an unreadable
// file, a missing column, bad groups, no essays, folders that already hold
// essays, a file that cannot be written).
bool ImportEssays(const ImportOptions& options, ImportResult& result, std::string& why);

// The group sizes, the skipped rows and the folders, as lines.
std::string ImportSummary(const ImportResult& result);

}  // namespace tarne
