#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "project/session.h"
#include "shell/file_bytes.h"
#include "text/essay_encoding.h"
#include "training/training.h"
#include "training/training_internal.h"

namespace tarne {

const char* KindLabel(int kind) {
  switch (kind) {
    case 2: return " phrases";
    case 3: return " arguments";
    default: return " words";
  }
}

const char* CalibFlag(int kind) {
  switch (kind) {
    case 2: return "isinphrases";
    case 3: return "isinargs";
    default: return "isinwords";
  }
}

std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> out;
  if (list.empty()) return out;
  size_t start = 0;
  while (true) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) {
      out.push_back(list.substr(start));
      break;
    }
    out.push_back(list.substr(start, comma - start));
    start = comma + 1;
  }
  return out;
}

bool ListEssayFolder(const std::string& folder, std::vector<std::string>& names,
                     std::string& why) {
  names.clear();
  why.clear();
  std::string trimmed = TrimBlanks(folder);
  if (trimmed.empty() || folder.find('/') == std::string::npos) return true;
  DIR* dir = opendir(folder.c_str());
  if (!dir) {
    why = std::strerror(errno);
    return false;
  }
  errno = 0;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    // Dot files are the hidden files of this platform (editor swap files,
    // .DS_Store and the like); they are no essays.
    if (name.empty() || name[0] == '.') continue;
    // The entry's own type spares a stat of every essay; links and file
    // systems that do not tell are looked at.
    if (entry->d_type != DT_REG) {
      struct stat st;
      const std::string full = JoinPath(folder, name);
      if (stat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    }
    names.push_back(std::move(name));
    errno = 0;
  }
  const int error = errno;
  closedir(dir);
  if (error != 0) {
    // Half a listing would pass for the whole folder.
    names.clear();
    why = std::strerror(error);
    return false;
  }
  // Byte order, so that every machine trains the files in the same order.
  std::sort(names.begin(), names.end());
  return true;
}

std::vector<std::string> ListEssayFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::string why;
  ListEssayFolder(folder, names, why);
  return names;
}

std::string FolderProblem(const std::string& folder) {
  if (TrimBlanks(folder).empty()) return {};
  if (!IsFolder(folder)) return "does not exist";
  DIR* dir = opendir(folder.c_str());
  if (!dir) return std::string("cannot be read (") + std::strerror(errno) + ")";
  closedir(dir);
  return {};
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

int CountFiles(const std::string& folder) {
  return static_cast<int>(ListEssayFiles(folder).size());
}

namespace {

ReadBytes ReadRegularFile(const std::string& path, std::string& text) {
  return ReadRegularFileUpTo(path, text, kEssayLimitBytes);
}

}  // namespace

bool ReadEssayFile(const std::string& path, std::string& text) {
  return ReadRegularFile(path, text) == ReadBytes::kRead;
}

EssayRead ReadEssayText(const std::string& path, std::string& text, std::string& why) {
  EssayRead read = EssayRead::kRead;
  why.clear();
  const ReadBytes bytes = ReadRegularFile(path, text);
  if (bytes == ReadBytes::kTooLarge) {
    read = EssayRead::kTooLarge;
    why = EssayTooLargeMessage(path);
  } else if (bytes != ReadBytes::kRead) {
    read = EssayRead::kUnreadable;
    why = "Could not read file " + path;
  } else if (DecodeEssayBytes(text) == EssayEncoding::kNotText) {
    read = EssayRead::kNotText;
    why = "Not a text file: " + path;
  }
  if (read != EssayRead::kRead) text.clear();
  return read;
}

EssayRead ReadEssay(Session& session, const std::string& path, std::string& text, bool tellPane) {
  std::string why;
  const EssayRead read = ReadEssayText(path, text, why);
  if (read == EssayRead::kRead) return read;
  session.Log(why);
  if (tellPane) session.Append(why + "\r\n");
  return read;
}

}  // namespace tarne
