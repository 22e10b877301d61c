// The JSON rendering of results, for programs that read them.  Every
// document is one object with "format" (the version of its shape, raised
// whenever a field changes meaning or goes away) and "report" (what it
// holds); the README describes the fields.
#pragma once

#include <string>

#include "scoring/results.h"

namespace tarne {

inline constexpr int kJsonFormat = 1;

std::string RunResultJson(const RunResult& result);
std::string StatisticsJson(const DatabaseStatistics& stats);
std::string TopTokensJson(const TopTokens& top);

}  // namespace tarne
