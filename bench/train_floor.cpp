// The least a training run of words and pairs can cost: reads every essay
// file of the folders given, tokenizes it with Tarne's own tokenizer and
// stemmer (as written and stemmed, as training counts into both tables), and
// counts the words and pairs of each pass in memory, the classic way (the
// first sentence without tokens ends the essay).  No database.  Prints the
// seconds taken and what was counted, so that `train words` + `train pairs`
// can be measured against it.
//
//   train-floor FOLDER...
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "shell/blanks.h"
#include "text/essay_encoding.h"
#include "text/token_index.h"
#include "text/tokenizer.h"
#include "text/word_lists.h"

namespace {

struct Counts {
  tarne::TokenIndex words, pairs;
  std::vector<std::int64_t> wordCounts, pairCounts;

  void Count(tarne::TokenIndex& index, std::vector<std::int64_t>& counts, std::string_view t) {
    const auto [id, added] = index.Add(t);
    if (added) counts.push_back(0);
    ++counts[id];
  }
};

// One pass over a normalised essay into counts.
void CountEssay(std::string_view normalised, bool stemmed, Counts& counts) {
  std::string pair;
  for (std::string_view sentence : tarne::SplitSentences(normalised)) {
    std::vector<std::string> words = tarne::KeptWords(sentence, stemmed);
    if (words.size() < 2) break;
    for (size_t i = 1; i < words.size(); ++i) {
      pair.assign(words[i - 1]).append(1, ' ').append(words[i]);
      counts.Count(counts.pairs, counts.pairCounts, pair);
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    for (const std::string& w : words) counts.Count(counts.words, counts.wordCounts, w);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: train-floor FOLDER...\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  tarne::LoadWordLists();
  Counts run1, stem;
  size_t essays = 0, bytes = 0;
  for (int a = 1; a < argc; ++a) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(argv[a]))
      if (entry.is_regular_file()) files.push_back(entry.path());
    for (const auto& path : files) {
      std::ifstream in(path, std::ios::binary);
      std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      bytes += text.size();
      if (tarne::DecodeEssayBytes(text) == tarne::EssayEncoding::kNotText) continue;
      text = tarne::TrimBlanks(text);
      if (text.size() <= 5) continue;
      ++essays;
      tarne::NormalizeEssayText(text);
      CountEssay(text, false, run1);
      CountEssay(text, true, stem);
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("essays %zu bytes %zu run1 words %zu pairs %zu stem words %zu pairs %zu\n", essays,
              bytes, run1.words.Size(), run1.pairs.Size(), stem.words.Size(), stem.pairs.Size());
  std::printf("seconds %.4f\n", seconds);
  return 0;
}
