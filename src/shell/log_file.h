// The project log: one time-stamped line per notable event.
#pragma once

#include <ctime>
#include <string>

namespace tarne {

// "MM-DD-YYYY hh:mm:ss" in local time.
std::string LocalTimestamp(std::time_t when);

// Appends LocalTimestamp(now) + " " + message + CR LF to path, creating the
// file when missing.  Answers false when the file could not be written.
bool AppendLogLine(const std::string& path, const std::string& message);

}  // namespace tarne
