// Any bytes as a project file: loading must not crash, the per-group lists
// keep the group count, and the text written from what was loaded loads back
// to the same text.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "project/settings.h"

namespace {

const std::string& ScratchPath() {
  static const std::string path = "/tmp/tarne-fuzz-" + std::to_string(getpid()) + ".trn";
  return path;
}

bool WriteScratch(const std::string& text) {
  std::FILE* f = std::fopen(ScratchPath().c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tarne;
  if (!WriteScratch(std::string(reinterpret_cast<const char*>(data), size))) return 0;
  ProjectSettings first;
  Check(LoadProjectFile(ScratchPath(), first));
  const std::size_t groups = static_cast<std::size_t>(first.incats);
  Check(first.incats >= 0 && first.incats <= 5);
  Check(first.path2train.size() == groups || (groups == 0 && first.path2train.empty()));
  Check(first.path2trial.size() == first.path2train.size());
  Check(first.priors.size() == first.path2train.size());

  const std::string text = ProjectFileText(first);
  if (!WriteScratch(text)) return 0;
  ProjectSettings second;
  Check(LoadProjectFile(ScratchPath(), second));
  Check(ProjectFileText(second) == text);
  std::remove(ScratchPath().c_str());
  return 0;
}
