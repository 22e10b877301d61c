// Trimming blanks: only the space counts, as everywhere texts are trimmed
// here (tabs stay part of a word or a path).
#pragma once

#include <string>
#include <string_view>

namespace tarne {

inline std::string_view TrimBlanksView(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

inline std::string TrimBlanks(const std::string& text) { return std::string(TrimBlanksView(text)); }

}  // namespace tarne
