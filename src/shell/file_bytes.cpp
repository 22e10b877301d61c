#include "shell/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

// Reads fd to its end into out, expecting size bytes: a buffer one byte
// longer sees the end in the first read, and the second read confirms it.
ReadBytes ReadDescriptorUpTo(int fd, std::string& out, std::size_t limit, std::size_t size) {
  if (size > limit) return ReadBytes::kTooLarge;
  out.resize(size + 1);
  std::size_t have = 0;
  while (true) {
    if (have == out.size()) {
      // The file grew while it was read.
      if (have > limit) break;
      out.resize(std::min(2 * have, limit + 1));
    }
    const ssize_t got = ::read(fd, out.data() + have, out.size() - have);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      out.clear();
      return ReadBytes::kFailed;
    }
    if (got == 0) break;
    have += static_cast<std::size_t>(got);
  }
  if (have > limit) {
    out.clear();
    return ReadBytes::kTooLarge;
  }
  out.resize(have);
  return ReadBytes::kRead;
}

}  // namespace

ReadBytes ReadRegularFileUpTo(const std::string& path, std::string& out, std::size_t limit) {
  out.clear();
  // Not blocking: a pipe of that name must not hold the open up.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return ReadBytes::kFailed;
  struct stat st;
  ReadBytes read = ReadBytes::kFailed;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
    read = ReadDescriptorUpTo(fd, out, limit, static_cast<std::size_t>(st.st_size));
  ::close(fd);
  return read;
}

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
