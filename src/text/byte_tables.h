// Byte classification shared by the normaliser and the stemmer, so that both
// lower-case a byte the same way.
#pragma once

namespace tarne::text_detail {

// A to Z, plus the seven upper-case letters of code page 437 that essays
// typed on old DOS machines still carry.
inline unsigned char LowerByte(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + ('a' - 'A'));
  switch (c) {
    case 0x80: return 0x87;
    case 0x8E: return 0x84;
    case 0x8F: return 0x86;
    case 0x90: return 0x82;
    case 0x99: return 0x94;
    case 0x9A: return 0x81;
    case 0xA5: return 0xA4;
    default: return c;
  }
}

inline bool IsStemByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace tarne::text_detail
