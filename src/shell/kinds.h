// Typed names for the small numbers the rest of the program passes around:
// token kinds, vocabulary tables, models and the collections a run scores.
// The numbers stay what they are at the edges (project file, database
// columns, scoring options, menus); new code takes these types and converts
// at the boundary with the functions below.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarne {

enum class TokenKind { Words = 1, Pairs = 2, Arguments = 3 };
enum class Table { Unstemmed = 1, Stemmed = 2 };  // run1, stem
enum class Model { Multinomial = 1, Bernoulli = 2 };
enum class Collection { Trial = 1, Train = 2, New = 3, One = 4 };

inline int Number(TokenKind k) { return static_cast<int>(k); }
inline int Number(Model m) { return static_cast<int>(m); }
inline int Number(Collection c) { return static_cast<int>(c); }

// Numbers as the options and menus hold them; anything unknown becomes the
// first value, as the classic code treats it.
inline TokenKind KindOf(int kind) {
  return kind == 2 ? TokenKind::Pairs : kind == 3 ? TokenKind::Arguments : TokenKind::Words;
}
inline Model ModelOf(int model) { return model == 1 ? Model::Multinomial : Model::Bernoulli; }
inline Table TableOf(int stemmed) { return stemmed == 1 ? Table::Stemmed : Table::Unstemmed; }
inline Collection CollectionOf(int what) {
  return what == 2 ? Collection::Train
         : what == 3 ? Collection::New
         : what == 4 ? Collection::One
                     : Collection::Trial;
}

// The names the command line and the JSON results use.
inline const char* Name(TokenKind k) {
  return k == TokenKind::Pairs ? "pairs" : k == TokenKind::Arguments ? "arguments" : "words";
}
inline const char* Name(Model m) { return m == Model::Multinomial ? "multinomial" : "bernoulli"; }
inline const char* Name(Collection c) {
  switch (c) {
    case Collection::Trial: return "trial";
    case Collection::Train: return "train";
    case Collection::New: return "new";
    case Collection::One: return "one";
  }
  return "trial";
}

// "words"; "pairs" or "phrases"; "arguments".
inline std::optional<TokenKind> KindNamed(std::string_view name) {
  if (name == "words") return TokenKind::Words;
  if (name == "pairs" || name == "phrases") return TokenKind::Pairs;
  if (name == "arguments") return TokenKind::Arguments;
  return std::nullopt;
}

}  // namespace tarne
