#include "temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tarne::testing {

TempFolder::TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "tarne-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern + "/";
}

TempFolder::~TempFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string TempFolder::Write(const std::string& relative, const std::string& contents) const {
  fs::path p = fs::path(path_) / relative;
  fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << contents;
  return p.string();
}

std::string TempFolder::Read(const std::string& relative) const { return ReadFile(path_ + relative); }

std::string TempFolder::Sub(const std::string& relative) const {
  fs::create_directories(fs::path(path_) / relative);
  std::string s = path_ + relative;
  if (s.back() != '/') s += '/';
  return s;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

std::string SharedFolder() {
  if (const char* env = std::getenv("TARNE_SHARED"); env && *env && fs::exists(env))
    return fs::path(env).lexically_normal().string() + "/";
  fs::path guess = fs::path(TARNE_SOURCE_DIR) / ".." / "shared";
  if (fs::exists(guess / "data" / "asap" / "essays.tsv"))
    return guess.lexically_normal().string() + "/";
  return {};
}

std::vector<std::string> SharedEssayTexts(int most) {
  std::vector<std::string> texts;
  const std::string folder = SharedFolder();
  if (folder.empty()) return texts;
  std::ifstream in(folder + "data/asap/essays.tsv", std::ios::binary);
  std::string line;
  std::getline(in, line);  // header
  while (static_cast<int>(texts.size()) < most && std::getline(in, line))
    texts.push_back(line.substr(line.rfind('\t') + 1));
  return texts;
}

}  // namespace tarne::testing
