#include "project/recent_projects.h"

#include <algorithm>
#include <filesystem>

#include "project/text_lines.h"

namespace fs = std::filesystem;

namespace tarne {

using namespace project_text;

namespace {

constexpr std::size_t kMaxRecent = 6;

std::string IniPath(const std::string& configFolder) {
  std::string path = configFolder;
  if (!path.empty() && path.back() != '/') path += '/';
  return path + "tarne.ini";
}

// The listed paths, in order, without empty lines.
std::vector<std::string> ReadList(const std::string& configFolder) {
  std::string text;
  std::vector<std::string> list;
  if (!ReadWholeFile(IniPath(configFolder), text)) return list;
  for (std::string& line : SplitLines(text))
    if (!line.empty()) list.push_back(std::move(line));
  return list;
}

// An entry must name the file from wherever the program is started later,
// so a relative path is made absolute against the current folder.
std::string FullPath(const std::string& path) {
  std::error_code ec;
  fs::path full = fs::absolute(path, ec);
  if (ec) return path;
  return full.lexically_normal().string();
}

}  // namespace

void AddRecentProject(const std::string& configFolder, const std::string& projectFile) {
  const std::string entry = FullPath(projectFile);
  std::vector<std::string> list = ReadList(configFolder);
  // Whole lines are compared, so one path that is part of another (a/x.trn
  // and b/a/x.trn) is never mistaken for it.
  list.erase(std::remove(list.begin(), list.end(), entry), list.end());
  list.insert(list.begin(), entry);
  if (list.size() > kMaxRecent) list.resize(kMaxRecent);

  std::string text;
  for (const std::string& path : list) text += path + "\r\n";
  std::error_code ec;
  if (!configFolder.empty()) fs::create_directories(configFolder, ec);
  // The recent list is a convenience: failing to write it must not stop the
  // project from opening.
  WriteWholeFile(IniPath(configFolder), text);
}

std::vector<std::string> LoadRecentProjects(const std::string& configFolder) {
  std::vector<std::string> items;
  std::vector<std::string> list = ReadList(configFolder);
  for (std::size_t i = 0; i < list.size() && i < kMaxRecent; ++i)
    items.push_back("&" + std::to_string(i + 1) + " " + list[i]);
  return items;
}

}  // namespace tarne
