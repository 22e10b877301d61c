#include "shell/numbers.h"

#include <cmath>
#include <gtest/gtest.h>

namespace tarne {
namespace {

struct PlainCase {
  double value;
  int digits;
  const char* text;
};

TEST(PlainNumber, MatchesTheFileAndSqlForms) {
  const PlainCase cases[] = {
      {1.0 / 3, 15, " .333333333333333"},
      {2.0 / 3, 15, " .666666666666667"},
      {1000, 15, " 1000"},
      {kLowInfoDefault, 15, " .300000011920929"},
      {static_cast<double>(0.9f), 15, " .899999976158142"},
      {std::log2(3.0), 15, " 1.58496250072116"},
      {-2.5, 15, "-2.5"},
      {-0.25, 15, "-.25"},
      {0.5, 15, " .5"},
      {0.1 + 0.2, 15, " .3"},
      {0, 15, " 0"},
      {-0.0, 15, " 0"},
      {1, 15, " 1"},
      {40, 15, " 40"},
      {250, 15, " 250"},
      {1234.5, 15, " 1234.5"},
      {0.00001, 15, " .00001"},
      {0.00012345, 15, " .00012345"},
      {1e-15, 15, " .000000000000001"},
      // One digit too many after the point switches to the exponent form.
      {1e-16, 15, " 1E-16"},
      {1.5e-16, 15, " 1.5E-16"},
      {0.000123456789012345, 15, " 1.23456789012345E-04"},
      {1e-20, 15, " 1E-20"},
      {1e-300, 15, " 1E-300"},
      {999999999999999, 15, " 999999999999999"},
      {1e15, 15, " 1E+15"},
      {1e20, 15, " 1E+20"},
      {-1e20, 15, "-1E+20"},
      {1e100, 15, " 1E+100"},
      {123456789012345678.0, 15, " 1.23456789012346E+17"},
      // Rounding carries into the next digit or the exponent.
      {9.9999999999999999, 15, " 10"},
      {0.99999999999999999, 15, " 1"},
      {999999999999999.9, 15, " 1E+15"},
      {3, 7, " 3"},
      {5, 7, " 5"},
      {1234567, 7, " 1234567"},
      {12345678, 7, " 1.234568E+07"},
      {1.0 / 3, 7, " .3333333"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PlainNumber(c.value, c.digits), c.text) << c.value << " digits " << c.digits;
}

TEST(PlainNumber, DefaultsToFifteenDigits) {
  EXPECT_EQ(PlainNumber(1.0 / 3), " .333333333333333");
}

TEST(TrimmedNumber, DropsOnlyTheBlank) {
  EXPECT_EQ(TrimmedNumber(1), "1");
  EXPECT_EQ(TrimmedNumber(2), "2");
  EXPECT_EQ(TrimmedNumber(0.25), ".25");
  EXPECT_EQ(TrimmedNumber(1.0 / 3), ".333333333333333");
  EXPECT_EQ(TrimmedNumber(-2.5), "-2.5");
  EXPECT_EQ(TrimmedNumber(0), "0");
  EXPECT_EQ(TrimmedNumber(1e20), "1E+20");
  EXPECT_EQ(TrimmedNumber(-1e-20), "-1E-20");
}

struct MaskCase {
  double value;
  const char* mask;
  const char* text;
};

TEST(FormatMask, FollowsTheReportRules) {
  const MaskCase cases[] = {
      // Digits after the point are always shown.
      {0.5, "#.####", ".5000"},
      {0, "#.####", ".0000"},
      {0, ".#####", ".00000"},
      {1.5, ".####", "1.5000"},
      {0.12345, ".####", ".1235"},
      {0.123456789, "#.#######", ".1234568"},
      {0.99996, "#.####", "1.0000"},
      // Rounding works on the exact binary value.
      {2.675, "#.##", "2.67"},
      {1.005, "#.##", "1.00"},
      {12.345, "* ####.##", "    12.35"},
      // Fixed-width fields from "*x".
      {3, "* ##", "   3"},
      {12, "* ##", "  12"},
      {1, "* ###", "    1"},
      {3, "* #####", "      3"},
      {45.678, "* ###.##", "   45.68"},
      {100, "* ###.##", "  100.00"},
      {50, "* ###.##", "   50.00"},
      {0, "* ###.##", "     .00"},
      {0.1, "* ###.##", "     .10"},
      {99.95, "* ###.#", "  100.0"},
      {100, "* ###.#", "  100.0"},
      {25, "* ###.#", "   25.0"},
      {200.0 / 3, "* ###.#", "   66.7"},
      {40, "* ###.#", "   40.0"},
      {1000, "* #####", "   1000"},
      {5, "*x###", "xxxx5"},
      {7, "**##", "***7"},
      {7, "*###", "###7"},
      // Grouping counts the comma as a position.
      {1234, "* ###,###", "    1,234"},
      {999, "* ###,###", "      999"},
      {1234567, "* ###,###", "1,234,567"},
      {12345678, "* ###,###", "12,345,678"},
      {0, "* ###,###", "        0"},
      {1234567890, "* ###,###,###", "1,234,567,890"},
      {42, "* ###,###,###", "           42"},
      // A zero without a point shows one digit.
      {0, "* ##", "   0"},
      {0.4, "* ###", "    0"},
      {0, "   ##", "   0"},
      // Without "*" unused positions take no room; literals stay.
      {3, "   ##", "   3"},
      {12, "   ##", "   12"},
      {123, "   ##", "   123"},
      {2, "  ##  ", "  2  "},
      {50, "##%", "50%"},
      {5, "(##)", "(5)"},
      {1000, "######.#", "1000.0"},
      {kLowInfoDefault, "######.##", ".30"},
      // Wider numbers are never cut.
      {123456, "* ##", "123456"},
      {1e20, "###", "100000000000000000000"},
      // The sign takes a leading position right before the digits.
      {-3, "* ##", "  -3"},
      {-12, "* ##", " -12"},
      {-123, "* ##", "-123"},
      {-0.5, "#.####", "-.5000"},
      {-1234, "* ###,###", "   -1,234"},
      {-2.5, "* ###.##", "   -2.50"},
      // Rounded to zero, a negative value loses its sign.
      {-0.001, "#.##", ".00"},
      {-0.4, "* ##", "   0"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatMask(c.value, c.mask), c.text) << c.value << " under \"" << c.mask << '"';
}

TEST(FormatMask, StarFieldsHaveTheirStatedWidths) {
  for (double v : {0.0, 1.0, 9.99, 12.5, 99.994})
    EXPECT_EQ(FormatMask(v, "* ###.##").size(), 8u) << v;
  for (double v : {0.0, 1.0, 5.0, 99.0}) EXPECT_EQ(FormatMask(v, "* ##").size(), 4u) << v;
  for (double v : {0.0, 1.0, 54321.0}) EXPECT_EQ(FormatMask(v, "* #####").size(), 7u) << v;
}

TEST(FormatMask, EmptyMaskGivesTheShortestForm) {
  EXPECT_EQ(FormatMask(0.5, ""), ".5");
  EXPECT_EQ(FormatMask(-2, ""), "-2");
  EXPECT_EQ(FormatMask(1000, ""), "1000");
  EXPECT_EQ(FormatMask(1.0 / 3, ""), ".333333333333333");
}

TEST(FormatMask, MaskWithoutDigitsIsText) { EXPECT_EQ(FormatMask(5, "abc"), "abc"); }

TEST(FormatMask, ReadsBackRoundedToTheMask) {
  EXPECT_DOUBLE_EQ(NumericValue(FormatMask(0.123456789, "#.#######")), 0.1234568);
  EXPECT_DOUBLE_EQ(NumericValue(FormatMask(1e-9, "#.#######")), 0);
}

TEST(NumericValue, ReadsAsFarAsANumberGoes) {
  EXPECT_EQ(NumericValue("1.5abc"), 1.5);
  EXPECT_EQ(NumericValue("abc"), 0);
  EXPECT_EQ(NumericValue(""), 0);
  EXPECT_EQ(NumericValue(" 40"), 40);
  EXPECT_EQ(NumericValue("\t -2.5"), -2.5);
  EXPECT_EQ(NumericValue("+3"), 3);
  EXPECT_EQ(NumericValue("1,000"), 1);
  EXPECT_EQ(NumericValue(".5"), 0.5);
  EXPECT_EQ(NumericValue("5."), 5);
  EXPECT_EQ(NumericValue("1.2.3"), 1.2);
  EXPECT_EQ(NumericValue("."), 0);
  EXPECT_EQ(NumericValue("-"), 0);
  EXPECT_EQ(NumericValue("--1"), 0);
  EXPECT_EQ(NumericValue("- 1"), 0);
}

TEST(NumericValue, ExponentNeedsADigit) {
  EXPECT_EQ(NumericValue("1e3"), 1000);
  EXPECT_EQ(NumericValue("1E-2"), 0.01);
  EXPECT_EQ(NumericValue("2D2"), 200);
  EXPECT_EQ(NumericValue("2.5d+1x"), 25);
  EXPECT_EQ(NumericValue("1e"), 1);
  EXPECT_EQ(NumericValue("1e+"), 1);
  EXPECT_EQ(NumericValue("7E+x"), 7);
}

TEST(NumericValue, OutOfRangeReadsAsZero) {
  EXPECT_EQ(NumericValue("1e999"), 0);
  EXPECT_EQ(NumericValue("-1e999"), 0);
  EXPECT_EQ(NumericValue("1e-999"), 0);
}

TEST(NumericValue, RoundTripsTheTextForms) {
  EXPECT_EQ(NumericValue("0.30000001192092896"), kLowInfoDefault);
  for (double v : {1.0 / 3, 2.0 / 3, 0.25, -2.5, 1000.0, 1e-20, 123456789012345678.0, 1.5e-16}) {
    EXPECT_EQ(PlainNumber(NumericValue(PlainNumber(v)), 15), PlainNumber(v)) << v;
    EXPECT_NEAR(NumericValue(TrimmedNumber(v)), v, std::fabs(v) * 1e-14) << v;
  }
}

}  // namespace
}  // namespace tarne
