// Temporary folders for tests, removed with their contents afterwards.
#pragma once

#include <string>
#include <vector>

namespace tarne::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  // The folder, ending with "/".
  const std::string& Path() const { return path_; }
  // Writes a file (creating folders on the way) and answers its full path.
  std::string Write(const std::string& relative, const std::string& contents) const;
  std::string Read(const std::string& relative) const;
  std::string Sub(const std::string& relative) const;  // creates, answers with "/"

 private:
  std::string path_;
};

// Reads a whole file; "" when missing.
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

// The shared data folder (../shared next to the work tree) with a closing
// "/", or "" when missing.
std::string SharedFolder();

// The first `most` essay texts of the shared ASAP file (the last column of
// each line after the header); none when the file is missing.
std::vector<std::string> SharedEssayTexts(int most);

}  // namespace tarne::testing
