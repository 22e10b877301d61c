// Pieces shared by the training, untraining and recomputation code.
#pragma once

#include <string>
#include <vector>

#include "shell/blanks.h"

namespace tarne {

class Database;

// "stem" for stemmed 1, "run1" otherwise.
inline const char* TableName(int stemmed) { return stemmed == 1 ? "stem" : "run1"; }

// The calib flag column of a kind.
const char* CalibFlag(int kind);

// Splits a quoted token list at its commas.
std::vector<std::string> SplitList(const std::string& list);

}  // namespace tarne
