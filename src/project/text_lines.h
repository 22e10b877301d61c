// Small text and file helpers shared by the project file, the recent list and
// saving.
#pragma once

#include <string>
#include <vector>

#include "shell/blanks.h"

namespace tarne::project_text {

using tarne::TrimBlanks;

// Lines ended by CR LF; a bare LF also ends a line, so files edited with a
// Linux editor read the same.  A last line without a line end still counts.
std::vector<std::string> SplitLines(const std::string& text);

// The whole content of a regular file; false when there is none to read.
bool ReadWholeFile(const std::string& path, std::string& out);

// Creates or truncates path and writes text; false when any step failed.
bool WriteWholeFile(const std::string& path, const std::string& text);

}  // namespace tarne::project_text
