#include "text/essay_encoding.h"

#include <utf8proc.h>

#include <cstdint>

namespace tarne {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

void AppendUtf8(std::string& out, std::int32_t codepoint) {
  utf8proc_uint8_t buffer[4];
  const utf8proc_ssize_t n = utf8proc_encode_char(codepoint, buffer);
  out.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(n));
}

// The code points of Windows-1252's 0x80..0x9F; 0 where it assigns none.
constexpr std::int32_t kHigh1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// UTF-16 after its two-byte mark.  A lone surrogate becomes U+FFFD and an odd
// last byte is dropped: a damaged character must not cost the rest of the essay.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  auto unit = [&](size_t i) -> std::uint32_t {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (a << 8 | b) : (b << 8 | a);
  };
  const size_t units = bytes.size() / 2;
  for (size_t k = 0; k < units; ++k) {
    std::uint32_t u = unit(2 * k);
    if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
      const std::uint32_t low = unit(2 * (k + 1));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, static_cast<std::int32_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00)));
        ++k;
        continue;
      }
    }
    if (u >= 0xD800 && u <= 0xDFFF) u = 0xFFFD;
    AppendUtf8(out, static_cast<std::int32_t>(u));
  }
  return out;
}

// Essays carry tabs, line ends and form feeds, now and then a stray NUL or
// two, even in a short one; programs, images and word-processor files are full of NULs and other
// control bytes.  Texts in UTF-16 come here already converted.
bool LooksBinary(std::string_view bytes) {
  size_t nuls = 0;
  size_t controls = 0;
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == 0)
      ++nuls;
    else if (c < 32 && c != '\t' && c != '\n' && c != '\r' && c != '\f')
      ++controls;
  }
  return (nuls >= 8 && nuls * 100 > bytes.size()) || controls * 20 > bytes.size();
}

}  // namespace

std::string Windows1252ToUtf8(std::string_view bytes, bool replaceUnassigned) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (unsigned char b : bytes) {
    std::int32_t c = b;
    if (b >= 0x80 && b < 0xA0) {
      c = kHigh1252[b - 0x80];
      if (c == 0) c = replaceUnassigned ? 0xFFFD : b;
    }
    AppendUtf8(out, c);
  }
  return out;
}

bool IsValidUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  utf8proc_ssize_t left = static_cast<utf8proc_ssize_t>(text.size());
  while (left > 0) {
    if (static_cast<unsigned char>(*p) < 0x80) {
      ++p;
      --left;
      continue;
    }
    utf8proc_int32_t codepoint;
    const utf8proc_ssize_t n = utf8proc_iterate(p, left, &codepoint);
    if (n <= 0) return false;
    p += n;
    left -= n;
  }
  return true;
}

EssayEncoding DecodeEssayBytes(std::string& text) {
  const std::string_view view = text;
  if (StartsWith(view, "\xFF\xFE") || StartsWith(view, "\xFE\xFF")) {
    const bool bigEndian = view[0] == '\xFE';
    std::string decoded = Utf16ToUtf8(view.substr(2), bigEndian);
    if (LooksBinary(decoded)) return EssayEncoding::kNotText;
    text = std::move(decoded);
    return bigEndian ? EssayEncoding::kUtf16Be : EssayEncoding::kUtf16Le;
  }
  const bool bom = StartsWith(view, "\xEF\xBB\xBF");
  if (LooksBinary(bom ? view.substr(3) : view)) return EssayEncoding::kNotText;
  if (bom) {
    text.erase(0, 3);
    return EssayEncoding::kUtf8Bom;
  }
  return IsValidUtf8(text) ? EssayEncoding::kUtf8 : EssayEncoding::kBytes;
}

}  // namespace tarne
