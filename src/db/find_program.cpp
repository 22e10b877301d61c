#include "db/find_program.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace tarne {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string Search(const fs::path& folder, const std::string& wanted) {
  std::vector<fs::path> files, folders;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code typeError;
    if (it->is_symlink(typeError)) {
      if (!it->is_directory(typeError)) files.push_back(it->path());
    } else if (it->is_directory(typeError)) {
      folders.push_back(it->path());
    } else {
      files.push_back(it->path());
    }
  }
  std::sort(files.begin(), files.end());
  std::sort(folders.begin(), folders.end());
  for (const fs::path& f : files)
    if (Lower(f.filename().string()) == wanted) return folder.string() + "/";
  for (const fs::path& sub : folders)
    if (std::string found = Search(sub, wanted); !found.empty()) return found;
  return {};
}

}  // namespace

std::string FindProgram(const std::vector<std::string>& roots, const std::string& fileName) {
  const std::string wanted = Lower(fileName);
  for (const std::string& root : roots) {
    fs::path folder(root);
    while (folder.has_relative_path() && !folder.has_filename()) folder = folder.parent_path();
    if (std::string found = Search(folder, wanted); !found.empty()) return found;
  }
  return {};
}

std::vector<std::string> ProgramSearchRoots() {
  std::vector<std::string> roots;
  if (const char* home = std::getenv("HOME"); home && *home)
    roots.push_back(std::string(home) + "/.wine/drive_c");
  roots.push_back("/mnt");
  roots.push_back("/media");
  return roots;
}

}  // namespace tarne
