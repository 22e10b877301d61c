// Reading a whole file without exceptions: a folder, a vanished file or a
// read error is an answer the caller reports, never an abort.
#pragma once

#include <string>

namespace tarne {

// The whole content of path as bytes; false (out empty) when path is a
// folder or cannot be opened or read.  Devices and pipes are read too.
bool ReadFileBytes(const std::string& path, std::string& out);

// Whether path names an existing folder.
bool IsFolder(const std::string& path);

}  // namespace tarne
