#include "shell/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace tarne {

namespace {

// Text for values that have no decimal digits at all; kept recognisable rather
// than pretending to be a number.
std::string NonFiniteText(double value) {
  if (std::isnan(value)) return " NaN";
  return value < 0 ? "-Inf" : " Inf";
}

}  // namespace

std::string PlainNumber(double value, int digits) {
  if (digits < 1) digits = 1;
  if (digits > 40) digits = 40;
  if (!std::isfinite(value)) return NonFiniteText(value);
  // -0.0 reads as zero, with the blank of a non-negative number.
  if (value == 0) return " 0";

  std::string out(1, value < 0 ? '-' : ' ');

  // %e rounds the exact binary value to the requested significant digits,
  // carrying into the exponent when 9.99... rounds up.
  char buf[80];
  std::snprintf(buf, sizeof buf, "%.*e", digits - 1, std::fabs(value));
  std::string text(buf);
  std::size_t e = text.find('e');
  int exponent = std::stoi(text.substr(e + 1));
  std::string mantissa;
  for (std::size_t i = 0; i < e; ++i)
    if (text[i] != '.') mantissa += text[i];
  while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();
  const int count = static_cast<int>(mantissa.size());

  const bool fixed = exponent >= 0 ? exponent + 1 <= digits : (-exponent - 1) + count <= digits;
  if (fixed) {
    if (exponent >= 0) {
      const int whole = exponent + 1;
      std::string intPart = mantissa.substr(0, std::min(count, whole));
      intPart.append(static_cast<std::size_t>(std::max(0, whole - count)), '0');
      out += intPart;
      if (count > whole) out += "." + mantissa.substr(static_cast<std::size_t>(whole));
    } else {
      out += ".";
      out.append(static_cast<std::size_t>(-exponent - 1), '0');
      out += mantissa;
    }
    return out;
  }

  out += mantissa[0];
  if (count > 1) out += "." + mantissa.substr(1);
  out += exponent < 0 ? "E-" : "E+";
  std::string power = std::to_string(std::abs(exponent));
  if (power.size() < 2) power.insert(0, "0");
  return out + power;
}

std::string TrimmedNumber(double value) {
  std::string text = PlainNumber(value, 15);
  if (!text.empty() && text[0] == ' ') text.erase(0, 1);
  return text;
}

namespace {

struct MaskLayout {
  std::string prefix;      // literal text before the digit field
  std::string suffix;      // literal text after it
  bool fill = false;       // "*x" seen
  char fillChar = ' ';
  int leading = 0;         // positions before the point, the "*x" pair included
  bool grouping = false;   // a "," inside the integer positions
  bool point = false;
  int decimals = 0;
};

bool IsFieldStart(std::string_view mask, std::size_t i) {
  return mask[i] == '#' || (mask[i] == '.' && i + 1 < mask.size() && mask[i + 1] == '#');
}

// Answers false when the mask holds no digit position.
bool ParseMask(std::string_view mask, MaskLayout& layout) {
  std::size_t start = 0;
  while (start < mask.size() && !IsFieldStart(mask, start)) ++start;
  if (start == mask.size()) return false;

  std::size_t prefixEnd = start;
  if (start >= 2 && mask[start - 2] == '*') {
    layout.fill = true;
    layout.fillChar = mask[start - 1];
    prefixEnd = start - 2;
  } else if (start >= 1 && mask[start - 1] == '*' && start + 1 < mask.size() &&
             IsFieldStart(mask, start + 1)) {
    // "*#": the fill character is itself a "#".
    layout.fill = true;
    layout.fillChar = mask[start];
    prefixEnd = start - 1;
    ++start;
  }
  layout.prefix = std::string(mask.substr(0, prefixEnd));

  std::size_t i = start;
  while (i < mask.size()) {
    if (mask[i] == '#') {
      ++layout.leading;
    } else if (mask[i] == ',' && i + 1 < mask.size() && mask[i + 1] == '#') {
      // A separator between digit positions; one at the field's edge is text.
      ++layout.leading;
      layout.grouping = true;
    } else {
      break;
    }
    ++i;
  }
  if (i < mask.size() && mask[i] == '.') {
    layout.point = true;
    ++i;
    while (i < mask.size() && mask[i] == '#') {
      ++layout.decimals;
      ++i;
    }
  }
  layout.suffix = std::string(mask.substr(i));
  if (layout.fill) layout.leading += 2;
  return true;
}

std::string Grouped(const std::string& digits) {
  std::string out;
  const std::size_t n = digits.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

}  // namespace

std::string FormatMask(double value, std::string_view mask) {
  if (mask.empty()) return TrimmedNumber(value);
  MaskLayout layout;
  if (!ParseMask(mask, layout)) return std::string(mask);
  if (!std::isfinite(value)) return layout.prefix + TrimmedNumber(value) + layout.suffix;

  // Round once, on the exact binary value; a carry such as 99.95 -> 100.0
  // simply shows up as one more integer digit.
  std::string rounded;
  {
    int size = std::snprintf(nullptr, 0, "%.*f", layout.decimals, std::fabs(value));
    rounded.resize(static_cast<std::size_t>(size) + 1);
    std::snprintf(rounded.data(), rounded.size(), "%.*f", layout.decimals, std::fabs(value));
    rounded.resize(static_cast<std::size_t>(size));
  }
  std::string intDigits = rounded.substr(0, rounded.find('.'));
  std::string fraction = layout.point && layout.decimals > 0 ? rounded.substr(rounded.find('.') + 1)
                                                             : std::string();
  const bool isZero = rounded.find_first_not_of("0.") == std::string::npos;

  std::string whole;
  if (intDigits != "0") {
    whole = layout.grouping ? Grouped(intDigits) : intDigits;
  } else if (!layout.point) {
    // No point and no significant digit: the field would otherwise be blank.
    whole = "0";
  }
  // A value that rounds to zero carries no sign ("-.00" would read oddly).
  if (value < 0 && !isZero) whole.insert(0, "-");

  std::string out = layout.prefix;
  const int used = static_cast<int>(whole.size());
  if (layout.fill && used < layout.leading)
    out.append(static_cast<std::size_t>(layout.leading - used), layout.fillChar);
  out += whole;
  if (layout.point) out += "." + fraction;
  return out + layout.suffix;
}

double NumericValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() &&
         (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r'))
    ++i;

  std::string number;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') number += '-';
    ++i;
  }
  bool anyDigit = false;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    number += text[i++];
    anyDigit = true;
  }
  if (i < text.size() && text[i] == '.') {
    number += text[i++];
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      number += text[i++];
      anyDigit = true;
    }
  }
  if (!anyDigit) return 0;

  // The exponent counts only when at least one digit follows its letter.
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
      if (text[j] == '-') exponent += '-';
      ++j;
    }
    bool expDigit = false;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9') {
      exponent += text[j++];
      expDigit = true;
    }
    if (expDigit) number += exponent;
  }

  double value = 0;
  auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  // Out of range either way reads as no number: an infinite threshold or
  // prior would poison every statement built from it.
  if (result.ec != std::errc()) return 0;
  return value;
}

}  // namespace tarne
