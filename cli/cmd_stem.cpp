#include <iostream>
#include <string>

#include "args.h"
#include "commands.h"
#include "text/stemmer.h"
#include "text/word_lists.h"

namespace tarne::cli {

namespace {

const char* kStemUsage =
    "usage: tarne-cli stem [WORD ...]\n"
    "Prints the stem of each WORD on a line of its own (an empty line when the\n"
    "word has no stem).  Without WORD, stems standard input, one word per line.\n";

void PrintStem(std::string word, std::string& out) {
  StemWord(word);
  out += word;
  out += '\n';
}

}  // namespace

int RunStem(const Args& a) {
  LoadWordLists();
  std::string out;
  if (!a.positional.empty()) {
    for (const std::string& word : a.positional) PrintStem(word, out);
    std::cout << out;
    return 0;
  }

  std::string input;
  if (const ReadBytes read = ReadStandardInput(input); read != ReadBytes::kRead) {
    std::cerr << "tarne-cli: "
              << (read == ReadBytes::kTooLarge ? EssayTooLargeMessage("standard input")
                                               : std::string("could not read standard input"))
              << "\n";
    return 1;
  }
  size_t pos = 0;
  while (pos < input.size()) {
    size_t end = input.find('\n', pos);
    if (end == std::string::npos) end = input.size();
    size_t next = end + 1;
    if (end > pos && input[end - 1] == '\r') --end;
    PrintStem(input.substr(pos, end - pos), out);
    pos = next;
  }
  std::cout << out;
  return 0;
}

const Command kStemCommand{
    "stem", "Text analysis",
    "  stem [WORD ...]                      the stem of each word (stdin when none)\n",
    kStemUsage,
    {},
    {},
    RunStem};

}  // namespace tarne::cli
