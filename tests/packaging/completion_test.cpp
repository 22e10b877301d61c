// The bash completion and the manual page, both read from tarne-cli's help
// texts: what Tab offers after each kind of word, and a page section for
// every command that Tab offers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace tarne::testing {
namespace {

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// Runs a shell command line and answers its standard output.
std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  pclose(pipe);
  return out;
}

// What the completion offers for the words after "tarne-cli" (the last one
// being completed), sorted, run in folder.
std::vector<std::string> Complete(const std::vector<std::string>& words, const std::string& folder) {
  std::string line = "cd " + Quote(folder) + " && bash -c 'source \"$0\"; COMP_WORDS=(\"$@\");" +
                     " COMP_CWORD=$(($# - 1)); _tarne_cli; printf \"%s\\n\" \"${COMPREPLY[@]}\"' " +
                     Quote(TARNE_SOURCE_DIR "/packaging/tarne-cli.bash") + " " + Quote(TARNE_CLI_PATH);
  for (const std::string& w : words) line += " " + Quote(w);
  std::vector<std::string> offered;
  std::istringstream out(Output(line));
  for (std::string word; std::getline(out, word);)
    if (!word.empty()) offered.push_back(word);
  std::sort(offered.begin(), offered.end());
  return offered;
}

TEST(Completion, OffersWhatEachPositionTakes) {
  TempFolder folder;
  folder.Write("a.trn", "");
  folder.Write("b.txt", "");
  folder.Sub("sub");
  using Words = std::vector<std::string>;
  const struct {
    Words line;
    Words offered;
  } cases[] = {
      {{"s"}, {"score", "show", "stats", "stem"}},
      {{"--"}, {"--help", "--version"}},
      {{"train", ""}, {"a.trn", "sub"}},
      {{"train", "a.trn", ""}, {"arguments", "pairs", "words"}},
      {{"erase", "a.trn", ""}, {"all", "arguments", "pairs"}},
      {{"score", "a.trn", ""}, {"new", "one", "train", "trial"}},
      {{"score", "a.trn", "one", ""}, {"a.trn", "b.txt", "sub"}},
      {{"score", "a.trn", "trial", ""}, {}},
      {{"score", "a.trn", "trial", "--no-s"}, {"--no-stop-words"}},
      {{"purge", "a.trn", "words", "--no"}, {"--no-backup"}},
      {{"tokens", "--kind", ""}, {"arguments", "pairs", "words"}},
      {{"tokens", "--kind", "=", "p"}, {"pairs"}},
      {{"tokens", "--kind", "words", ""}, {"a.trn", "b.txt", "sub"}},
      {{"new", "--root", ""}, {"sub"}},
      {{"new", "--groups", ""}, {}},
      {{"remove", "a.trn", "--group", "2", "x.txt", ""}, {"a.trn", "b.txt", "sub"}},
      {{"demo", ""}, {"sub"}},
      {{"demo", "sub", ""}, {}},
      {{"frobnicate", ""}, {}},
  };
  for (const auto& c : cases) {
    std::string line;
    for (const std::string& w : c.line) line += " " + w;
    EXPECT_EQ(Complete(c.line, folder.Path()), c.offered) << "tarne-cli" << line;
  }
}

TEST(ManPage, HasASectionForEveryCommandAndFormatsCleanly) {
  TempFolder folder;
  const std::string page = Output("zcat " + Quote(TARNE_MAN_PAGE_DIR "/tarne-cli.1.gz"));
  const std::vector<std::string> commands = Complete({""}, folder.Path());
  ASSERT_GE(commands.size(), 10u);
  for (const std::string& command : commands)
    EXPECT_NE(page.find("\n.SS " + command + "\n"), std::string::npos) << command;
  if (Output("command -v groff").empty()) GTEST_SKIP() << "groff is not installed";
  EXPECT_EQ(Output("zcat " + Quote(TARNE_MAN_PAGE_DIR "/tarne-cli.1.gz") +
                   " | groff -man -ww -z -Tutf8 2>&1"),
            "");
}

}  // namespace
}  // namespace tarne::testing
