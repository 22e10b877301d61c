// Reading a whole file without exceptions: a folder, a vanished file or a
// read error is an answer the caller reports, never an abort.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace tarne {

// The whole content of path as bytes; false (out empty) when path is a
// folder or cannot be opened or read.  Devices and pipes are read too.
bool ReadFileBytes(const std::string& path, std::string& out);

// The most an essay may hold.  Reading stops there: a device such as
// /dev/zero, or a file of hundreds of megabytes, would otherwise fill the
// memory before any check could refuse it.  No student essay comes near.
inline constexpr std::size_t kEssayLimitBytes = std::size_t{16} << 20;
inline constexpr int kEssayLimitMegabytes = 16;

enum class ReadBytes { kRead, kFailed, kTooLarge };
// Reads path as ReadFileBytes does, but at most limit bytes: a longer (or
// endless) file answers kTooLarge with out empty.
ReadBytes ReadFileBytesUpTo(const std::string& path, std::string& out, std::size_t limit);
// Reads path as ReadFileBytesUpTo does when it is a regular file, in one
// open, one status and two reads for a file that does not change meanwhile;
// anything else (a folder, a device, a pipe) answers kFailed without being
// read or waited for.
ReadBytes ReadRegularFileUpTo(const std::string& path, std::string& out, std::size_t limit);
// The refusal of an essay over kEssayLimitBytes: "Essay too large: " + what
// + " (over 16 MB)".
std::string EssayTooLargeMessage(const std::string& what);

// Whether path names an existing folder.
bool IsFolder(const std::string& path);

}  // namespace tarne
