#include "text_decoding.h"

#include "text/essay_encoding.h"

namespace tarne::desktop {

std::string DisplayUtf8(const std::string& bytes) {
  if (IsValidUtf8(bytes)) return bytes;  // the tokenizer's test, so both agree
  // The five positions Windows-1252 leaves unassigned keep their C1 code.
  return Windows1252ToUtf8(bytes, false);
}

std::string PlainLineEnds(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace tarne::desktop
