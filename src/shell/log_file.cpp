#include "shell/log_file.h"

#include <cstdio>

namespace tarne {

std::string LocalTimestamp(std::time_t when) {
  std::tm local{};
  if (localtime_r(&when, &local) == nullptr) return "00-00-0000 00:00:00";
  char buf[32];
  std::strftime(buf, sizeof buf, "%m-%d-%Y %H:%M:%S", &local);
  return buf;
}

bool AppendLogLine(const std::string& path, const std::string& message) {
  if (path.empty()) return false;
  // Binary mode: the line end is CR LF whatever the platform would pick.
  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (file == nullptr) return false;
  const std::string line = LocalTimestamp(std::time(nullptr)) + " " + message + "\r\n";
  const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

}  // namespace tarne
