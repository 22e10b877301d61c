// Recognising how an essay file is encoded and turning it into the text the
// tokenizer takes: UTF-8 without a byte-order mark, or the bytes as they are.
#pragma once

#include <string>
#include <string_view>

namespace tarne {

enum class EssayEncoding {
  kUtf8,     // valid UTF-8 (plain ASCII included), left as it is
  kUtf8Bom,  // UTF-8 after a byte-order mark, which is dropped
  kUtf16Le,  // UTF-16 with a little-endian mark, converted to UTF-8
  kUtf16Be,  // UTF-16 with a big-endian mark, converted to UTF-8
  kBytes,    // not valid UTF-8: a Windows or DOS code page, taken byte by byte
  kNotText,  // NUL-heavy or full of control bytes: no essay at all
};

// Decodes text in place and answers what it was.  kNotText leaves text as it
// was; every other answer leaves what the tokenizer is to read.
EssayEncoding DecodeEssayBytes(std::string& text);

// Windows-1252 text as UTF-8.  The five positions of 0x80..0x9F the code
// page leaves unassigned become U+FFFD with replaceUnassigned, else the C1
// control code of the same number.
std::string Windows1252ToUtf8(std::string_view bytes, bool replaceUnassigned);

// Whether every byte sequence of text is a well-formed UTF-8 character
// (no overlong forms, no surrogates, nothing beyond U+10FFFF).
bool IsValidUtf8(std::string_view text);

}  // namespace tarne
