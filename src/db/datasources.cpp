#include "db/datasources.h"

#include "db/gateway.h"
#include "shell/file_bytes.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <pwd.h>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace tarne {

namespace {

const char* const kListName = "datasources.ini";

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::string WithoutTrailingSlashes(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

struct Section {
  std::string name;
  std::vector<std::string> lines;
};

// The list as read: lines before the first section (kept as they are), then
// the sections with their lines, trailing blank lines dropped so that
// rewriting does not let the separators grow.
struct SourceList {
  std::vector<std::string> preamble;
  std::vector<Section> sections;
};

void DropTrailingBlanks(std::vector<std::string>& lines) {
  while (!lines.empty() && lines.back().find_first_not_of(" \t") == std::string::npos)
    lines.pop_back();
}

SourceList ReadList(const std::string& file) {
  SourceList list;
  std::string text;
  if (!ReadFileBytes(file, text)) return list;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      list.sections.push_back({line.substr(1, line.size() - 2), {}});
    } else if (list.sections.empty()) {
      list.preamble.push_back(line);
    } else {
      list.sections.back().lines.push_back(line);
    }
  }
  DropTrailingBlanks(list.preamble);
  for (Section& s : list.sections) DropTrailingBlanks(s.lines);
  return list;
}

std::string Render(const SourceList& list) {
  std::string out;
  for (const std::string& line : list.preamble) out += line + "\n";
  for (const Section& s : list.sections) {
    if (!out.empty()) out += "\n";
    out += "[" + s.name + "]\n";
    for (const std::string& line : s.lines) out += line + "\n";
  }
  return out;
}

bool SameKey(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i]; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return i == a.size() && !b[i];
}

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  std::size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

}  // namespace

std::string DefaultConfigFolder() {
  // XDG says relative values are to be ignored.
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
    return WithoutTrailingSlashes(xdg) + "/tarne/";
  std::string home;
  if (const char* env = std::getenv("HOME"); env && *env) {
    home = env;
  } else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) {
    home = pw->pw_dir;
  }
  if (home.empty()) return {};
  return WithoutTrailingSlashes(home) + "/.config/tarne/";
}

std::string LookupDataSource(const std::string& configFolder, const std::string& name) {
  SourceList list = ReadList(WithSlash(configFolder) + kListName);
  for (const Section& s : list.sections) {
    if (s.name != name) continue;
    for (const std::string& line : s.lines) {
      std::size_t eq = line.find('=');
      if (eq == std::string::npos || !SameKey(Trim(line.substr(0, eq)), "Database")) continue;
      // Leading blanks only: the value is an absolute path, which begins
      // with "/", while a file name may end with a blank.
      std::size_t b = line.find_first_not_of(" \t", eq + 1);
      return b == std::string::npos ? std::string() : line.substr(b);
    }
    return {};
  }
  return {};
}

bool RegisterDataSource(const std::string& configFolder, const std::string& name,
                        const std::string& dbFile) {
  // A line break or bracket would let a name or path forge sections of the
  // list; such a data source cannot be written faithfully, so it is refused.
  if (name.empty() || dbFile.empty() || HasLineBreak(name) || HasLineBreak(dbFile) ||
      name.find_first_of("[]") != std::string::npos || configFolder.empty())
    return false;
  std::error_code ec;
  fs::path absolute = fs::absolute(dbFile, ec);
  if (ec) return false;

  const std::string folder = WithSlash(configFolder);
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) return false;
  const std::string file = folder + kListName;

  SourceList list = ReadList(file);
  std::vector<std::string> lines = {"Driver=SQLite3", "Database=" + absolute.string()};
  bool replaced = false;
  for (Section& s : list.sections) {
    if (s.name == name) {
      s.lines = lines;
      replaced = true;
      break;
    }
  }
  if (!replaced) list.sections.push_back({name, lines});

  // Written beside the list and renamed over it, so a reader never meets a
  // half-written list and a failed write leaves the old one intact.
  const std::string temp = file + ".tmp" + std::to_string(getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << Render(list);
    out.flush();
    if (!out) {
      out.close();
      fs::remove(temp, ec);
      return false;
    }
  }
  fs::rename(temp, file, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

bool Database::OpenDataSource(const std::string& connection, const std::string& fallbackPath,
                              const std::string& configFolder) {
  Close();
  // "DSN=" + name, possibly followed by further ";"-separated attributes.
  std::string name;
  if (connection.size() >= 4 && SameKey(connection.substr(0, 4), "DSN=")) {
    name = connection.substr(4);
    name = name.substr(0, name.find(';'));
  }
  std::error_code ec;
  std::string listed = name.empty() ? std::string() : LookupDataSource(configFolder, name);
  if (!listed.empty() && fs::exists(listed, ec) && OpenFile(listed)) return true;

  // The list does not know the name, or the file it names is gone (a project
  // folder moved or copied to another machine): the project's own database
  // file takes its place and becomes the registered one.
  if (fallbackPath.empty() || !fs::exists(fallbackPath, ec)) return false;
  if (!listed.empty() && fs::equivalent(listed, fallbackPath, ec)) return false;  // just failed
  if (!OpenFile(fallbackPath)) return false;
  if (!name.empty()) RegisterDataSource(configFolder, name, fallbackPath);
  return true;
}

}  // namespace tarne
