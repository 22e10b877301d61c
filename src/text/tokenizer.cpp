#include "text/tokenizer.h"

#include "shell/blanks.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include <utf8proc.h>

#include "text/byte_tables.h"
#include "text/essay_encoding.h"
#include "text/stemmer.h"

namespace tarne {

namespace {

// Each byte's normalised form: lower-cased, and every separator a blank.
std::array<unsigned char, 256> BuildNormalTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = text_detail::LowerByte(static_cast<unsigned char>(c));
  // The backslash is listed twice; that does no harm.
  static const char kSeparators[] = "{}[],;'!@#$%^&*()_-+=<>?\\|:/\\~`";
  for (const char* p = kSeparators; *p; ++p) table[static_cast<unsigned char>(*p)] = ' ';
  for (unsigned char c : {10, 13, 34, 12}) table[c] = ' ';
  // A NUL inside a word would end every statement text that carries the
  // word; as a blank it ends only the word.
  table[0] = ' ';
  return table;
}

const std::array<unsigned char, 256>& NormalTable() {
  static const std::array<unsigned char, 256> table = BuildNormalTable();
  return table;
}

// Without an early return, so that the compiler can take many bytes at once.
bool HasNonAscii(std::string_view text) {
  unsigned char any = 0;
  for (char c : text) any |= static_cast<unsigned char>(c);
  return any >= 0x80;
}

// Valid UTF-8: ASCII goes through the byte table, every other character is
// lower-cased as Unicode does and kept whole.  The code page 437 rules of the
// byte table would rewrite the continuation bytes of many characters.
void NormalizeUtf8(std::string& text, const std::array<unsigned char, 256>& table) {
  // ASCII stays one byte, and a character of two bytes or more lowers to
  // four at most: out has room for twice the text.
  std::string out(2 * text.size(), '\0');
  auto* o = reinterpret_cast<utf8proc_uint8_t*>(out.data());
  const auto* p = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  const auto* const end = p + text.size();
  while (p < end) {
    if (*p < 0x80) {
      *o++ = table[*p++];
      continue;
    }
    utf8proc_int32_t codepoint = 0;
    const utf8proc_ssize_t n = utf8proc_iterate(p, end - p, &codepoint);
    if (n <= 0) return;  // the caller has checked the text; leave it untouched
    o += utf8proc_encode_char(utf8proc_tolower(codepoint), o);
    p += n;
  }
  out.resize(static_cast<size_t>(o - reinterpret_cast<utf8proc_uint8_t*>(out.data())));
  text = std::move(out);
}

// Whether normalising text again maps every character to itself: each byte
// through the byte table, or for valid UTF-8 each ASCII byte so and every
// other character to its own lower case, as NormalizeEssayText chooses.
bool MapsToItself(std::string_view text, const std::array<unsigned char, 256>& table) {
  const auto* p = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  const auto* const end = p + text.size();
  const bool utf8 = HasNonAscii(text) && IsValidUtf8(text);
  bool same = true;
  while (p < end) {
    if (*p < 0x80 || !utf8) {
      same &= table[*p] == *p;
      ++p;
      continue;
    }
    utf8proc_int32_t codepoint = 0;
    const utf8proc_ssize_t n = utf8proc_iterate(p, end - p, &codepoint);
    if (n <= 0 || utf8proc_tolower(codepoint) != codepoint) return false;
    p += n;
  }
  return same;
}

// How many of a run of k blanks are left by the four blank passes of
// normalising, each one left-to-right replacement of every non-overlapping
// occurrence: four blanks by one, three by one, then two by one twice.  A
// pass over n blanks leaves k / n + k % n of them; runs never merge, as the
// bytes between them stay.
size_t BlanksLeft(size_t k) {
  for (const size_t n : {size_t{4}, size_t{3}, size_t{2}, size_t{2}}) k = k / n + k % n;
  return k;
}

// Maps every byte through table and shortens each run of blanks as the four
// blank passes and then the pass replacing ". " by "." would: one pass in
// place, as the text never grows.  The last pass takes one blank from a run
// that follows a full stop.
void MapAndShortenBlanks(std::string& text, const std::array<unsigned char, 256>& table) {
  // Through plain pointers: a store through the string's own would make the
  // compiler load its data pointer again for every byte.
  const unsigned char* map = table.data();
  char* const begin = text.data();
  const char* in = begin;
  const char* const end = begin + text.size();
  char* out = begin;
  while (in < end) {
    const char mapped = static_cast<char>(map[static_cast<unsigned char>(*in++)]);
    if (mapped != ' ') {
      *out++ = mapped;
      continue;
    }
    size_t run = 1;
    while (in < end && map[static_cast<unsigned char>(*in)] == ' ') {
      ++run;
      ++in;
    }
    size_t keep = run == 1 ? 1 : BlanksLeft(run);
    if (out > begin && out[-1] == '.') --keep;
    for (; keep > 0; --keep) *out++ = ' ';
  }
  text.resize(static_cast<size_t>(out - begin));
}

// The identity on every byte: for text already mapped.
std::array<unsigned char, 256> BuildSameTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
  return table;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether the piece reads as zero when taken as a number the way BASIC's Val
// does: leading tabs skipped, then digits with an optional fraction and
// exponent; anything else reads as zero.
bool ReadsAsZero(std::string_view piece) {
  size_t i = 0;
  while (i < piece.size() && piece[i] == '\t') ++i;
  size_t start = i;
  bool digits = false;
  bool nonZero = false;
  while (i < piece.size() && IsDigit(piece[i])) {
    digits = true;
    nonZero |= piece[i++] != '0';
  }
  if (i < piece.size() && piece[i] == '.') {
    ++i;
    while (i < piece.size() && IsDigit(piece[i])) {
      digits = true;
      nonZero |= piece[i++] != '0';
    }
  }
  if (!digits || !nonZero) return true;
  // A non-zero mantissa can only read as zero through a large negative
  // exponent; normalised text has no minus sign, so this is for other callers.
  if (i + 2 < piece.size() && (piece[i] == 'e' || piece[i] == 'E') && piece[i + 1] == '-' &&
      IsDigit(piece[i + 2])) {
    size_t end = i + 2;
    while (end < piece.size() && IsDigit(piece[end])) ++end;
    std::string number(piece.substr(start, end - start));
    return std::strtod(number.c_str(), nullptr) == 0.0;
  }
  return false;
}

bool PassesFilter(std::string_view piece, size_t minLength) {
  return piece.size() >= minLength && ReadsAsZero(piece);
}

// The kept words as views: into the sentence for an unstemmed pass, into
// stems (which the caller keeps alive) for a stemmed one.
void CollectKeptWords(std::string_view sentence, bool stemmed, int minWordLength,
                      std::vector<std::string>& stems, std::vector<std::string_view>& words) {
  // A length below 1 would keep the empty pieces between blanks.
  const size_t minLength = static_cast<size_t>(std::max(minWordLength, 1));
  size_t pos = 0;
  while (pos <= sentence.size()) {
    size_t blank = sentence.find(' ', pos);
    if (blank == std::string_view::npos) blank = sentence.size();
    std::string_view piece = TrimBlanksView(sentence.substr(pos, blank - pos));
    pos = blank + 1;
    if (!stemmed) {
      if (PassesFilter(piece, minLength)) words.push_back(piece);
      continue;
    }
    // No rule of the stemmer lengthens a word, so a piece too short to be
    // kept cannot give a stem long enough either.
    if (piece.size() < minLength) continue;
    std::string stem(piece);
    StemWord(stem);
    std::string_view trimmed = TrimBlanksView(stem);
    if (!PassesFilter(trimmed, minLength)) continue;
    if (trimmed.size() != stem.size()) stem = std::string(trimmed);
    stems.push_back(std::move(stem));
  }
  if (stemmed) words.assign(stems.begin(), stems.end());
}

void AppendQuoted(std::string& out, std::string_view token) {
  if (!out.empty()) out += ',';
  out += '\'';
  out += token;
  out += '\'';
}

}  // namespace

bool IsKeptWord(std::string_view piece, int minWordLength) {
  return PassesFilter(piece, static_cast<size_t>(std::max(minWordLength, 1)));
}

void NormalizeEssayText(std::string& text) {
  const auto& table = NormalTable();
  if (HasNonAscii(text) && IsValidUtf8(text)) {
    static const std::array<unsigned char, 256> same = BuildSameTable();
    NormalizeUtf8(text, table);
    MapAndShortenBlanks(text, same);
  } else {
    MapAndShortenBlanks(text, table);
  }
}

bool NormalisingAgainKeepsWords(std::string_view normalised) {
  // The blank passes then find runs the first ones left, but never take a
  // blank from between two words.
  return MapsToItself(normalised, NormalTable());
}

std::vector<std::string_view> SplitSentences(std::string_view text) {
  std::vector<std::string_view> sentences;
  size_t pos = 0;
  while (true) {
    size_t stop = text.find('.', pos);
    if (stop == std::string_view::npos) {
      sentences.push_back(text.substr(pos));
      return sentences;
    }
    sentences.push_back(text.substr(pos, stop - pos));
    pos = stop + 1;
  }
}

std::vector<std::string> KeptWords(std::string_view sentence, bool stemmed, int minWordLength) {
  std::vector<std::string> stems;
  std::vector<std::string_view> views;
  CollectKeptWords(sentence, stemmed, minWordLength, stems, views);
  if (stemmed) return stems;
  return std::vector<std::string>(views.begin(), views.end());
}

std::string BuildSentenceTokenList(std::string_view sentence, int kind, bool stemmed,
                                   int minWordLength) {
  std::vector<std::string> stems;
  std::vector<std::string_view> words;
  CollectKeptWords(sentence, stemmed, minWordLength, stems, words);
  std::string list;
  if (words.size() < 2) return list;
  switch (kind) {
    case kWords:
      std::sort(words.begin(), words.end());
      words.erase(std::unique(words.begin(), words.end()), words.end());
      for (std::string_view w : words) AppendQuoted(list, w);
      break;
    case kPhrases:
      for (size_t i = 1; i < words.size(); ++i) {
        list += list.empty() ? "'" : ",'";
        list += words[i - 1];
        list += ' ';
        list += words[i];
        list += '\'';
      }
      break;
    case kArguments:
      for (std::string_view w : words) AppendQuoted(list, w);
      break;
    default:
      break;
  }
  return list;
}

}  // namespace tarne
