// Essays as people have them: other encodings, stray NULs, files that are no
// text at all.
#include <gtest/gtest.h>

#include <string>

#include "support/training_fixture.h"
#include "training/training.h"

namespace tarne::testing {
namespace {

class EssayReading : public TrainingFixture {
 protected:
  using Lines_ = std::vector<std::string>;
  void SetUp() override { MakeProject(2); }
  Lines_ Words() { return Rows("SELECT Vocab, CAST(v1 AS INTEGER) FROM run1 WHERE isword=1 ORDER BY Vocab", 2); }
};

TEST_F(EssayReading, NulInsideAnEssayGivesNoSecondRow) {
  Essay(1, "a.txt", "Alpha bravo charlie delta.");
  Essay(1, "b.txt", std::string("Alpha bravo\0charlie delta.", 26));
  TrainKind(*session, TokenKind::Words);
  EXPECT_EQ(Words(), (Lines_{"alpha|2", "bravo|2", "charlie|2", "delta|2"}));
  EXPECT_EQ(Value("SELECT count(*) FROM calib"), 2);
}

TEST_F(EssayReading, EveryEncodingGivesTheSameTokens) {
  // "Zoë’s Café Story" and a second sentence, in five encodings.
  const std::string utf8 = "Zo\xC3\xAB\xE2\x80\x99s Caf\xC3\xA9 Story. Fine words here.";
  auto utf16 = [&](bool big) {
    std::string out = big ? "\xFE\xFF" : "\xFF\xFE";
    const char16_t units[] = u"Zo\u00EB\u2019s Caf\u00E9 Story. Fine words here.";
    for (char16_t u : std::u16string_view(units)) {
      const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
      out += big ? hi : lo;
      out += big ? lo : hi;
    }
    return out;
  };
  Essay(1, "utf8.txt", utf8);
  Essay(1, "bom.txt", "\xEF\xBB\xBF" + utf8);
  Essay(1, "le.txt", utf16(false));
  Essay(1, "be.txt", utf16(true));
  TrainKind(*session, TokenKind::Words);
  EXPECT_EQ(Words(), (Lines_{"caf\xC3\xA9|4", "fine|4", "here|4", "story|4", "words|4",
                             "zo\xC3\xAB\xE2\x80\x99s|4"}));
}

TEST_F(EssayReading, BinaryFileIsSkippedAndSaidSo) {
  static const char png[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x06\0\0\0";
  const std::string binary = Essay(1, "picture.png", std::string(png, sizeof png - 1));
  Essay(1, "a.txt", "Alpha bravo charlie delta.");
  TrainKind(*session, TokenKind::Words);
  EXPECT_EQ(Value("SELECT count(*) FROM calib"), 1);
  EXPECT_NE(port.PaneText().find("Not a text file: " + binary + "\r\n"), std::string::npos);
  bool logged = false;
  for (const std::string& line : LogLines()) logged |= line == "Not a text file: " + binary;
  EXPECT_TRUE(logged);
}

}  // namespace
}  // namespace tarne::testing
