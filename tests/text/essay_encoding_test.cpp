#include "text/essay_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "text/tokenizer.h"

namespace tarne {
namespace {

struct Decoded {
  EssayEncoding encoding;
  std::string text;
};

Decoded Decode(std::string bytes) {
  EssayEncoding e = DecodeEssayBytes(bytes);
  return {e, bytes};
}

std::string Normalized(std::string text) {
  NormalizeEssayText(text);
  return text;
}

TEST(DecodeEssayBytes, RecognisesEveryEncodingRead) {
  // "Don’t" with a curly apostrophe (U+2019) in each encoding.
  const std::string utf8 = "Don\xE2\x80\x99t";
  Decoded d = Decode(utf8);
  EXPECT_EQ(d.encoding, EssayEncoding::kUtf8);
  EXPECT_EQ(d.text, utf8);
  d = Decode("\xEF\xBB\xBF" + utf8);
  EXPECT_EQ(d.encoding, EssayEncoding::kUtf8Bom);
  EXPECT_EQ(d.text, utf8);
  d = Decode(std::string("\xFF\xFE" "D\0o\0n\0\x19\x20t\0", 12));
  EXPECT_EQ(d.encoding, EssayEncoding::kUtf16Le);
  EXPECT_EQ(d.text, utf8);
  d = Decode(std::string("\xFE\xFF" "\0D\0o\0n\x20\x19\0t", 12));
  EXPECT_EQ(d.encoding, EssayEncoding::kUtf16Be);
  EXPECT_EQ(d.text, utf8);
  d = Decode("Don\x92t");  // Windows-1252
  EXPECT_EQ(d.encoding, EssayEncoding::kBytes);
  EXPECT_EQ(d.text, "Don\x92t");
}

TEST(DecodeEssayBytes, Utf16SurrogatesAndDamage) {
  // U+1F600 as a surrogate pair, a lone low surrogate, then an odd last byte.
  Decoded d = Decode(std::string("\xFF\xFE" "\x3D\xD8\x00\xDE" "\x00\xDC" "a\0" "b", 11));
  EXPECT_EQ(d.text, "\xF0\x9F\x98\x80\xEF\xBF\xBD" "a");
}

TEST(DecodeEssayBytes, BinaryIsNotTextButAStrayNulIs) {
  std::string essay(400, 'a');
  essay[200] = '\0';
  EXPECT_EQ(Decode(essay).encoding, EssayEncoding::kUtf8);
  EXPECT_EQ(Decode(std::string("PK\3\4\0\0\0\0\x14\0\x08\0", 12)).encoding, EssayEncoding::kNotText);
  EXPECT_EQ(Decode(std::string(64, '\0')).encoding, EssayEncoding::kNotText);
  EXPECT_EQ(Decode(std::string(64, '\x01') + std::string(64, 'x')).encoding,
            EssayEncoding::kNotText);
  // UTF-16 without its mark is half NULs: refused rather than read as garbage.
  std::string unmarked;
  for (int i = 0; i < 20; ++i) unmarked += std::string("a\0", 2);
  EXPECT_EQ(Decode(unmarked).encoding, EssayEncoding::kNotText);
  EXPECT_EQ(Decode(std::string("Alpha\0bravo", 11)).encoding, EssayEncoding::kUtf8);
  std::string original = "\xFF\xFE" + std::string(20, '\0');
  std::string kept = original;
  EXPECT_EQ(DecodeEssayBytes(kept), EssayEncoding::kNotText);
  EXPECT_EQ(kept, original);
}

TEST(IsValidUtf8, RejectsMalformedSequences) {
  EXPECT_TRUE(IsValidUtf8("plain \xC3\xA9 \xE2\x80\x99 \xF0\x9F\x98\x80"));
  for (const char* bad : {"\x80", "\xC3", "\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80",
                          "\xF4\x90\x80\x80", "\xE2\x80", "\xFF"})
    EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}

TEST(NormalizeEssayText, UnicodeLowerCaseForUtf8ByteRulesOtherwise) {
  // The curly apostrophe stays whole instead of turning into another character.
  EXPECT_EQ(Normalized("Don\xE2\x80\x99t"), "don\xE2\x80\x99t");
  EXPECT_EQ(Normalized("\xC3\x89T\xC3\x89 \xCE\xA3\xCE\x9F\xCE\xA6\xCE\x99\xCE\x91"),
            "\xC3\xA9t\xC3\xA9 \xCF\x83\xCE\xBF\xCF\x86\xCE\xB9\xCE\xB1");  // ÉTÉ ΣΟΦΙΑ
  EXPECT_EQ(Normalized("\xC3\x9C" "BER, caf\xC3\xA9!"), "\xC3\xBC" "ber caf\xC3\xA9 ");
  // Not UTF-8: the byte rules as before, code page 437 letters included.
  EXPECT_EQ(Normalized("\x8E" "BER, caf\x82!"), "\x84" "ber caf\x82 ");
  // NUL is a blank in both.
  EXPECT_EQ(Normalized(std::string("ab\0cd", 5)), "ab cd");
  EXPECT_EQ(Normalized(std::string("\xC3\xA9\0cd", 5)), "\xC3\xA9 cd");
}

}  // namespace
}  // namespace tarne
