// The least a training run of words and pairs can cost: reads every essay
// file of the folders given, tokenizes it with Tarne's own tokenizer and
// stemmer (cut once for both forms, each piece stemmed once, as training
// does for its two tables), and
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
#include "text/essay_words.h"
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

// One form of an essay's cut sentences into counts.
void CountEssay(const tarne::SentenceWords& sentences, Counts& counts) {
  std::string pair;
  std::vector<std::string_view> words;
  for (size_t s = 0; s < sentences.Sentences(); ++s) {
    const auto sentence = sentences.Sentence(s);
    if (sentence.size() < 2) break;
    for (size_t i = 1; i < sentence.size(); ++i) {
      pair.assign(sentence[i - 1]).append(1, ' ').append(sentence[i]);
      counts.Count(counts.pairs, counts.pairCounts, pair);
    }
    words.assign(sentence.begin(), sentence.end());
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    for (std::string_view w : words) counts.Count(counts.words, counts.wordCounts, w);
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
  tarne::StemCache stems;
  tarne::SentenceWords written, stemmed;
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
      tarne::CutEssay(text, tarne::CountingRules(), &written, &stemmed, stems);
      CountEssay(written, run1);
      CountEssay(stemmed, stem);
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("essays %zu bytes %zu run1 words %zu pairs %zu stem words %zu pairs %zu\n", essays,
              bytes, run1.words.Size(), run1.pairs.Size(), stem.words.Size(), stem.pairs.Size());
  std::printf("seconds %.4f\n", seconds);
  return 0;
}
