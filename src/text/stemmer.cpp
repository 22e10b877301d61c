#include "text/stemmer.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

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

// Strict: a word equal to the suffix does not end with it.  The suffixes
// are a few bytes long, so a loop from the back beats a call to memcmp.
bool EndsWith(const std::string& w, std::string_view suffix) {
  if (w.size() <= suffix.size()) return false;
  const char* end = w.data() + w.size();
  for (size_t i = 1; i <= suffix.size(); ++i)
    if (end[-static_cast<std::ptrdiff_t>(i)] != suffix[suffix.size() - i]) return false;
  return true;
}

// The rules of steps 2 to 4 by the last byte of their suffix, each list in
// table order: only the rules under a word's last byte can match it, and
// trying them in table order keeps the outcome of trying them all.
struct SuffixRule {
  std::string_view suffix;
  std::string_view replacement;
};
using RulesByLastByte = std::array<std::vector<SuffixRule>, 256>;

struct SuffixTables {
  RulesByLastByte step2, step3, step4;
};

void AddRule(RulesByLastByte& table, std::string_view suffix, std::string_view replacement) {
  table[static_cast<unsigned char>(suffix.back())].push_back({suffix, replacement});
}

const SuffixTables& Suffixes() {
  static const SuffixTables tables = [] {
    const WordLists& lists = Words();
    SuffixTables t;
    for (const auto& [suffix, replacement] : lists.step2Rules) AddRule(t.step2, suffix, replacement);
    for (const auto& [suffix, replacement] : lists.step3Rules) AddRule(t.step3, suffix, replacement);
    for (const std::string& suffix : lists.step4Suffixes) AddRule(t.step4, suffix, {});
    return t;
  }();
  return tables;
}

const std::vector<SuffixRule>& RulesFor(const RulesByLastByte& table, const std::string& w) {
  return table[static_cast<unsigned char>(w.back())];
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
void ApplyRules(std::string& w, const RulesByLastByte& rules) {
  if (w.empty()) return;
  for (const SuffixRule& rule : RulesFor(rules, w)) {
    if (EndsWith(w, rule.suffix) && Measure(w, w.size() - rule.suffix.size()) > 0) {
      w.replace(w.size() - rule.suffix.size(), rule.suffix.size(), rule.replacement);
      return;
    }
  }
}

void Step4(std::string& w, const RulesByLastByte& rules) {
  if (w.empty()) return;
  for (const SuffixRule& rule : RulesFor(rules, w)) {
    if (EndsWith(w, rule.suffix) && Measure(w, w.size() - rule.suffix.size()) > 1) {
      w.resize(w.size() - rule.suffix.size());
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
  const SuffixTables& tables = Suffixes();
  Step1(word);
  ApplyRules(word, tables.step2);
  ApplyRules(word, tables.step3);
  Step4(word, tables.step4);
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
    if (word[0] == prefix[0] && word.starts_with(prefix)) {
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
