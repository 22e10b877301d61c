#include "text/stemmer.h"

#include <string_view>

#include "text/byte_tables.h"
#include "text/word_lists.h"

namespace tarne {

namespace {

// Letter positions of the stemmer are 16-bit; longer words are given up.
constexpr size_t kLongestWord = 32767;

bool IsPlainVowel(char c) { return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u'; }

// y counts as a vowel only right after a, e, i, o or u, so a y after another
// y (or at the start) is a consonant.  Only the letter before matters, so the
// answer for a position is the same in the word and in any stem holding it.
bool IsVowelAt(const std::string& w, size_t i) {
  char c = w[i];
  if (IsPlainVowel(c)) return true;
  return c == 'y' && i > 0 && IsPlainVowel(w[i - 1]);
}

// The number of vowel runs followed by a consonant in w[0, len).
int Measure(const std::string& w, size_t len) {
  int m = 0;
  bool previousVowel = false;
  for (size_t i = 0; i < len; ++i) {
    bool vowel = IsVowelAt(w, i);
    if (previousVowel && !vowel) ++m;
    previousVowel = vowel;
  }
  return m;
}

bool HasVowel(const std::string& w, size_t len) {
  for (size_t i = 0; i < len; ++i)
    if (IsVowelAt(w, i)) return true;
  return false;
}

// Strict: a word equal to the suffix does not end with it.
bool EndsWith(const std::string& w, std::string_view suffix) {
  return w.size() > suffix.size() &&
         std::string_view(w).substr(w.size() - suffix.size()) == suffix;
}

// Consonant, vowel, then w or x (a final y after a vowel is a vowel itself).
bool ConsonantVowelWX(const std::string& w, size_t len) {
  if (len < 3) return false;
  char last = w[len - 1];
  if (last != 'w' && last != 'x' && last != 'y') return false;
  return !IsVowelAt(w, len - 1) && IsVowelAt(w, len - 2) && !IsVowelAt(w, len - 3);
}

void Step1(std::string& w) {
  if (!w.empty() && w.back() == 's') {
    if (EndsWith(w, "sses") || EndsWith(w, "ies"))
      w.resize(w.size() - 2);
    else if (w.size() < 2 || w[w.size() - 2] != 's')
      w.pop_back();
  }

  if (EndsWith(w, "eed")) {
    if (Measure(w, w.size() - 3) > 0) w.pop_back();
  } else {
    size_t cut = EndsWith(w, "ing") ? 3 : EndsWith(w, "ed") ? 2 : 0;
    if (cut > 0 && HasVowel(w, w.size() - cut)) {
      w.resize(w.size() - cut);
      if (EndsWith(w, "at") || EndsWith(w, "bl") || EndsWith(w, "iz")) {
        w.push_back('e');
      } else if (w.size() > 1) {
        char last = w.back();
        if (last == w[w.size() - 2] && last != 's' && last != 'z') w.pop_back();
      }
    }
  }

  if (EndsWith(w, "y") && HasVowel(w, w.size() - 1)) w.back() = 'i';
}

// A matching rule whose stem is too short does not stop the search.
void ApplyRules(std::string& w, const std::vector<std::pair<std::string, std::string>>& rules) {
  for (const auto& [suffix, replacement] : rules) {
    if (EndsWith(w, suffix) && Measure(w, w.size() - suffix.size()) > 0) {
      w.replace(w.size() - suffix.size(), suffix.size(), replacement);
      return;
    }
  }
}

void Step4(std::string& w, const std::vector<std::string>& suffixes) {
  for (const std::string& suffix : suffixes) {
    if (EndsWith(w, suffix) && Measure(w, w.size() - suffix.size()) > 1) {
      w.resize(w.size() - suffix.size());
      return;
    }
  }
}

void Step5(std::string& w) {
  if (!w.empty() && w.back() == 'e') {
    int m = Measure(w, w.size());
    if (m > 1 || (m == 1 && !ConsonantVowelWX(w, w.size() - 1))) w.pop_back();
  }
  if (EndsWith(w, "ll") && Measure(w, w.size()) > 1) w.pop_back();
}

}  // namespace

void ApplySuffixSteps(std::string& word) {
  const WordLists& lists = Words();
  Step1(word);
  ApplyRules(word, lists.step2Rules);
  ApplyRules(word, lists.step3Rules);
  Step4(word, lists.step4Suffixes);
  Step5(word);
}

void StemWord(std::string& word) {
  if (word.size() > kLongestWord) {
    word.clear();
    return;
  }
  size_t kept = 0;
  for (char ch : word) {
    unsigned char c = text_detail::LowerByte(static_cast<unsigned char>(ch));
    if (text_detail::IsStemByte(c)) word[kept++] = static_cast<char>(c);
  }
  word.resize(kept);
  if (word.size() <= 2 || IsStopWord(word)) {
    word.clear();
    return;
  }

  for (const std::string& prefix : Words().prefixes) {
    if (word.starts_with(prefix)) {
      word.erase(0, prefix.size());
      break;
    }
  }
  if (word.empty()) return;

  // The whole procedure runs twice; stems stored by training depend on it.
  ApplySuffixSteps(word);
  ApplySuffixSteps(word);
}

}  // namespace tarne
