// Any real and any mask: the number forms must not crash, the plain form
// reads back to the value within its 15 digits, and the trimmed form is the
// plain form without its blank.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "shell/numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tarne;
  if (size < sizeof(double) + 1) return 0;
  double value;
  std::memcpy(&value, data, sizeof value);
  const int digits = 1 + data[sizeof value] % 15;
  const std::string_view rest(reinterpret_cast<const char*>(data) + sizeof value + 1,
                              size - sizeof value - 1);

  const std::string plain = PlainNumber(value, digits);
  FormatMask(value, rest.substr(0, 40));
  NumericValue(rest);
  if (!std::isfinite(value)) return 0;
  const std::string fifteen = PlainNumber(value);
  if (fifteen.empty() || (fifteen[0] != ' ' && fifteen[0] != '-')) std::abort();
  if (TrimmedNumber(value) != (fifteen[0] == ' ' ? fifteen.substr(1) : fifteen)) std::abort();
  // Rounded to 15 digits, the largest reals exceed the largest double and
  // read back as out of range (0); there is nothing nearer to read back.
  if (std::abs(value) > 1.797693134862315e308) return 0;
  const double back = NumericValue(fifteen);
  if (std::abs(back - value) > 1e-14 * std::abs(value) + 1e-300) std::abort();
  (void)plain;
  return 0;
}
