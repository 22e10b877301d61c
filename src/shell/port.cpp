#include "shell/port.h"

#include "shell/log_file.h"

namespace tarne {

// A log line that cannot be written is dropped: the log must never stop the
// work it describes.
void Port::WriteProjectLogLine(const std::string& logFile, const std::string& message) {
  AppendLogLine(logFile, message);
}

}  // namespace tarne
