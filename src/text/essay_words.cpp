#include "text/essay_words.h"

#include <string>

#include "shell/blanks.h"
#include "text/stemmer.h"

namespace tarne {

std::string_view StemCache::Stem(std::string_view piece) {
  const auto [id, added] = pieces_.Add(piece);
  if (!added) return stems_[id];
  std::string stem(piece);
  StemWord(stem);
  stems_.push_back(store_.Keep(TrimBlanksView(stem)));
  return stems_.back();
}

void StemCache::Trim() {
  if (pieces_.Size() < kMaxPieces) return;
  pieces_.Clear();
  stems_.clear();
  store_.Clear();
}

void CutEssay(std::string_view normalised, const CountingRules& rules, SentenceWords* written,
              SentenceWords* stemmed, StemCache& stems) {
  stems.Trim();
  if (written) written->Clear();
  if (stemmed) stemmed->Clear();
  // As KeptWords: a length below 1 would keep the empty pieces between blanks.
  const size_t minLength = static_cast<size_t>(std::max(rules.minWordLength, 1));
  bool writtenEnded = written == nullptr;
  bool stemmedEnded = stemmed == nullptr;
  size_t start = 0;
  while (!(writtenEnded && stemmedEnded && !rules.allSentences)) {
    size_t stop = normalised.find('.', start);
    if (stop == std::string_view::npos) stop = normalised.size();
    const std::string_view sentence = normalised.substr(start, stop - start);
    size_t keptWritten = 0;
    size_t keptStemmed = 0;
    size_t pos = 0;
    while (pos <= sentence.size()) {
      size_t blank = sentence.find(' ', pos);
      if (blank == std::string_view::npos) blank = sentence.size();
      const std::string_view piece = sentence.substr(pos, blank - pos);
      pos = blank + 1;
      // No rule of the stemmer lengthens a word, so a piece too short to be
      // kept cannot give a stem long enough either.
      if (piece.size() < minLength) continue;
      if (written && IsKeptWord(piece, rules.minWordLength)) {
        written->Add(piece);
        ++keptWritten;
      }
      if (stemmed) {
        const std::string_view stem = stems.Stem(piece);
        if (IsKeptWord(stem, rules.minWordLength)) {
          stemmed->Add(stem);
          ++keptStemmed;
        }
      }
    }
    if (written) written->EndSentence();
    if (stemmed) stemmed->EndSentence();
    writtenEnded = writtenEnded || keptWritten < 2;
    stemmedEnded = stemmedEnded || keptStemmed < 2;
    if (stop == normalised.size()) break;
    start = stop + 1;
  }
}

}  // namespace tarne
