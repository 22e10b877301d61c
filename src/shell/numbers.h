// Number text forms shared by the project file, every SQL text and the reports.
#pragma once

#include <string>
#include <string_view>

namespace tarne {

// Plain decimal form: a blank (or "-") followed by the value rounded to
// `digits` significant digits, trailing fraction zeros and a trailing point
// dropped, no digit before the point of a value below 1 (" .3").  Values that
// would need more than `digits` digits before or after the point are written
// as mantissa, "E+" or "E-" and at least two exponent digits (" 1E+20").
std::string PlainNumber(double value, int digits = 15);

// The plain decimal form with 15 significant digits, without its leading blank.
std::string TrimmedNumber(double value);

// Formats value under a number mask: "#" digit positions (leading ones without
// a significant digit show nothing), "." the decimal point (digits after it are
// always shown, rounded), "," thousands grouping within the digit field, "*x"
// two more leading positions and every unused leading position filled with x;
// other characters stand for themselves.  A zero under a mask without a point
// whose digit positions are all "#" shows one "0".  A number wider than the
// mask is shown whole.  An empty mask gives the shortest form without a blank.
std::string FormatMask(double value, std::string_view mask);

// The numeric value of an edit or file text: leading blanks skipped, reading
// stops at the first character that cannot continue a number; no number is 0.
double NumericValue(std::string_view text);

// 0.3 as a single-precision constant, widened: the low-information default.
inline constexpr double kLowInfoDefault = static_cast<double>(0.3f);

}  // namespace tarne
