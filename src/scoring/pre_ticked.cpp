#include <string>

#include "scoring/scoring.h"

namespace tarne {

// A posterior formatted "* ###.##" between 98.00 and 100.00 shows as " 98.",
// " 99." or " 100." somewhere in the text.
bool IsPreTicked(const std::string& probabilities) {
  return probabilities.find(" 99.") != std::string::npos ||
         probabilities.find(" 100.") != std::string::npos ||
         probabilities.find(" 98.") != std::string::npos;
}

}  // namespace tarne
