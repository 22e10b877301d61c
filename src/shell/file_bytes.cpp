#include "shell/file_bytes.h"

#include <sys/stat.h>

#include <cstdio>

namespace tarne {

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

ReadBytes ReadStreamUpTo(std::FILE* f, std::string& out, std::size_t limit) {
  out.clear();
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
    if (got > limit - out.size()) {
      out.clear();
      return ReadBytes::kTooLarge;
    }
    out.append(buffer, got);
  }
  if (std::ferror(f)) {
    out.clear();
    return ReadBytes::kFailed;
  }
  return ReadBytes::kRead;
}

}  // namespace

ReadBytes ReadFileBytesUpTo(const std::string& path, std::string& out, std::size_t limit) {
  out.clear();
  // A folder opens like a file and fails only on the first read.
  if (IsFolder(path)) return ReadBytes::kFailed;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return ReadBytes::kFailed;
  const ReadBytes read = ReadStreamUpTo(f, out, limit);
  std::fclose(f);
  return read;
}

bool ReadFileBytes(const std::string& path, std::string& out) {
  return ReadFileBytesUpTo(path, out, std::string().max_size()) == ReadBytes::kRead;
}

std::string EssayTooLargeMessage(const std::string& what) {
  return "Essay too large: " + what + " (over " + std::to_string(kEssayLimitMegabytes) + " MB)";
}

}  // namespace tarne
