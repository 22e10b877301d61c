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

// Replaces the content of path (or creates it) with text; false when any
// step failed.  The text is written beside the file and renamed over it, so
// a write that fails (a full disk) leaves the file as it was.  Where no file
// can be made beside it (a folder the user may not write to), the file is
// rewritten in place.
bool WriteWholeFile(const std::string& path, const std::string& text);

}  // namespace tarne::project_text
