#include "text/word_lists.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tarne {

namespace {

WordLists BuildTables() {
  WordLists w;
  w.stopWords = {
      "a", "about", "above", "across", "after", "afterwards", "again", "against", "all",
      "almost", "alone", "along", "already", "also", "although", "always", "am", "among",
      "amongst", "amoungst", "amount", "an", "and", "another", "any", "anyhow", "anyone",
      "anything", "anyway", "anywhere", "are", "around", "as", "at", "back", "be", "became",
      "because", "become", "becomes", "becoming", "been", "before", "beforehand", "behind",
      "being", "below", "beside", "besides", "between", "beyond", "bill", "both", "bottom",
      "but", "by", "call", "can", "cannot", "cant", "co", "computer", "con", "could", "couldnt",
      "cry", "de", "describe", "detail", "do", "done", "down", "due", "during", "each", "eg",
      "eight", "either", "eleven", "else", "elsewhere", "empty", "enough", "etc", "even",
      "ever", "every", "everyone", "everything", "everywhere", "except", "few", "fifteen",
      "fify", "fill", "find", "fire", "first", "five", "for", "former", "formerly", "forty",
      "found", "four", "from", "front", "full", "further", "get", "give", "go", "had", "has",
      "hasnt", "have", "he", "hence", "her", "here", "hereafter", "hereby", "herein",
      "hereupon", "hers", "herself", "him", "himself", "his", "how", "however", "hundred", "i",
      "ie", "if", "in", "inc", "indeed", "interest", "into", "is", "it", "its", "itself", "keep",
      "last", "latter", "latterly", "least", "less", "ltd", "made", "many", "may", "me",
      "meanwhile", "might", "mill", "mine", "more", "moreover", "most", "mostly", "move", "much",
      "must", "my", "myself", "name", "namely", "neither", "never", "nevertheless", "next",
      "nine", "no", "nobody", "none", "noone", "nor", "not", "nothing", "now", "nowhere", "of",
      "off", "often", "on", "once", "one", "only", "onto", "or", "other", "others", "otherwise",
      "our", "ours", "ourselves", "out", "over", "own", "part", "per", "perhaps", "please",
      "put", "rather", "re", "same", "see", "seem", "seemed", "seeming", "seems", "serious",
      "several", "she", "should", "show", "side", "since", "sincere", "six", "sixty", "so",
      "some", "somehow", "someone", "something", "sometime", "sometimes", "somewhere", "still",
      "such", "system", "take", "ten", "than", "that", "the", "their", "them", "themselves",
      "then", "thence", "there", "thereafter", "thereby", "therefore", "therein", "thereupon",
      "these", "they", "thick", "thin", "third", "this", "those", "though", "three", "through",
      "throughout", "thru", "thus", "to", "together", "too", "top", "toward", "towards",
      "twelve", "twenty", "two", "un", "under", "until", "up", "upon", "us", "very", "via",
      "was", "we", "well", "were", "what", "whatever", "when", "whence", "whenever", "where",
      "whereafter", "whereas", "whereby", "wherein", "whereupon", "wherever", "whether",
      "which", "while", "whither", "who", "whoever", "whole", "whom", "whose", "why", "will",
      "with", "within", "without", "would", "yet", "you", "your", "yours", "yourself",
      "yourselves"};
  w.prefixes = {"kilo", "micro", "milli", "intra", "ultra", "mega", "nano", "pico", "pseudo"};
  w.step2Rules = {
      {"ational", "ate"}, {"tional", "tion"}, {"enci", "ence"},   {"anci", "ance"},
      {"izer", "ize"},    {"iser", "ize"},    {"abli", "able"},   {"alli", "al"},
      {"entli", "ent"},   {"eli", "e"},       {"ousli", "ous"},   {"ization", "ize"},
      {"isation", "ize"}, {"ation", "ate"},   {"ator", "ate"},    {"alism", "al"},
      {"iveness", "ive"}, {"fulness", "ful"}, {"ousness", "ous"}, {"aliti", "al"},
      {"iviti", "ive"},   {"biliti", "ble"}};
  w.step3Rules = {{"icate", "ic"}, {"ative", ""}, {"alize", "al"}, {"alise", "al"},
                  {"iciti", "ic"}, {"ical", "ic"}, {"ful", ""},    {"ness", ""}};
  w.step4Suffixes = {"al",  "ance", "ence", "er",  "ic",  "able", "ible",
                     "ant", "ement", "ment", "ent", "sion", "tion", "ou",
                     "ism", "ate",  "iti",  "ous", "ive", "ize",  "ise"};
  return w;
}

}  // namespace

// The tables never change, so one copy built on first use serves every caller
// (including a stemmer called before anyone loaded the lists).
const WordLists& Words() {
  static const WordLists tables = BuildTables();
  return tables;
}

void LoadWordLists() { (void)Words(); }

namespace {

// Where the stop words of each first byte begin in the sorted list, so that
// a lookup bisects a handful of words instead of all of them.
struct StopWordIndex {
  std::array<std::uint16_t, 257> start{};
  size_t longest = 0;
};

const StopWordIndex& StopIndex() {
  static const StopWordIndex index = [] {
    const std::vector<std::string>& list = Words().stopWords;
    StopWordIndex x;
    for (const std::string& w : list) {
      ++x.start[static_cast<unsigned char>(w[0]) + 1];
      x.longest = std::max(x.longest, w.size());
    }
    for (size_t i = 1; i < x.start.size(); ++i) x.start[i] += x.start[i - 1];
    return x;
  }();
  return index;
}

}  // namespace

bool IsStopWord(std::string_view word) {
  const StopWordIndex& index = StopIndex();
  if (word.empty() || word.size() > index.longest) return false;
  const std::vector<std::string>& list = Words().stopWords;
  const auto first = static_cast<unsigned char>(word[0]);
  // Bisection relies on the list's byte order; string_view compares bytes as
  // unsigned values, which is that order.
  const auto begin = list.begin() + index.start[first];
  const auto end = list.begin() + index.start[first + 1];
  auto it = std::lower_bound(begin, end, word,
                             [](const std::string& a, std::string_view b) { return std::string_view(a) < b; });
  return it != end && *it == word;
}

}  // namespace tarne
