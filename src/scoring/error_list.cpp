#include <string>
#include <vector>

#include "scoring/scoring.h"
#include "shell/numbers.h"

namespace tarne {

std::vector<std::string> FlaggedFiles(const std::vector<ErrorEntry>& errors,
                                      const std::vector<bool>& ticked) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < errors.size() && i < ticked.size(); ++i)
    if (ticked[i]) out.push_back(FlaggedFileItem(errors[i].trueGroup, errors[i].path));
  return out;
}

std::string ErrorAnalysisTitle(int what) {
  return what == 2 ? "Tarne - select files to remove" : "Tarne - error analysis";
}

std::string ProbabilityHeading(int groups) {
  // The same field widths as ProbabilityText: "* ##", "* ###", "* ###.##".
  std::string heading = "True Pred";
  // Each group number stands over the units digit of its posterior.
  for (int g = 1; g <= groups; ++g) heading += PadField(TrimmedNumber(g), 5, 1) + "   ";
  return heading;
}

}  // namespace tarne
