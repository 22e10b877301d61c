#include <iostream>
#include <string>

#include "args.h"
#include "commands.h"
#include "text/tokenizer.h"
#include "text/word_lists.h"

namespace tarne::cli {

namespace {

const char* kTokensUsage =
    "usage: tarne-cli tokens [--kind words|pairs|arguments] [--stemmed]\n"
    "                        [--min-word-length N] [FILE]\n"
    "Normalises the essay in FILE (standard input when FILE is missing or \"-\")\n"
    "and prints one line per sentence: its number, a tab and its quoted token\n"
    "list.  For arguments the list holds the argument candidates.  The kind\n"
    "pairs may also be given as phrases; the default kind is words.  N is the\n"
    "shortest word kept, as a project's counting rules give it (4, 3 or 2;\n"
    "default 4).\n";

}  // namespace

int RunTokens(const Args& a) {
  int kind = KindFromName(a.Value("kind", "words"));
  if (kind == 0) return UsageError("unknown token kind " + a.Value("kind"), kTokensUsage);
  if (a.positional.size() > 1) return UsageError("at most one FILE", kTokensUsage);
  CountingRules rules;
  std::string message;
  if (!ParseCountingRules(a, rules, message)) return UsageError(message, kTokensUsage);
  std::string path = a.positional.empty() ? "-" : a.positional[0];

  std::string text;
  if (!ReadEssayArgument(path, text)) return 1;
  LoadWordLists();
  NormalizeEssayText(text);
  const bool stemmed = a.Has("stemmed");
  std::string out;
  int number = 0;
  for (std::string_view sentence : SplitSentences(text)) {
    out += std::to_string(++number);
    out += '\t';
    out += BuildSentenceTokenList(sentence, kind, stemmed, rules.minWordLength);
    out += '\n';
    if (out.size() > (1 << 16)) {
      std::cout << out;
      out.clear();
    }
  }
  std::cout << out;
  return std::cout ? 0 : 1;
}

const Command kTokensCommand{
    "tokens", "Text analysis",
    "  tokens [--kind K] [--stemmed] [--min-word-length N] [FILE]\n"
    "                                       the token list of every sentence\n",
    kTokensUsage,
    {"kind", "min-word-length"},
    {"stemmed"},
    RunTokens};

}  // namespace tarne::cli
