// The user counter is text in an ini file the product rewrites while people log in and out; a
// damaged counter must read as the fallback (which blocks the update), never as a wrong number.
// The parser is compared with a plain second reading of the same rules.
//
// Input: the counter's text; the last four bytes give the fallback.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "core/user_check.h"
#include "fuzz/fuzz_check.h"

namespace {

constexpr std::int64_t kTwoTo31 = std::int64_t{1} << 31;
constexpr std::int64_t kTwoTo32 = std::int64_t{1} << 32;

std::optional<std::int32_t> Hexadecimal(std::string_view digits, bool negative) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  if (digits.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos) {
    return std::nullopt;
  }
  std::int64_t value = std::stoll(std::string(digits), nullptr, 16);
  if (value >= kTwoTo31) value -= kTwoTo32;  // 32-bit two's complement
  if (negative) value = -value;
  if (value == kTwoTo31) value = -kTwoTo31;  // -(-2^31) does not fit and wraps
  return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> Decimal(std::string_view digits, bool negative) {
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  const std::size_t significant = digits.find_first_not_of('0');
  if (significant == std::string_view::npos) return 0;
  digits.remove_prefix(significant);
  if (digits.size() > 10) return std::nullopt;  // beyond any 32-bit number
  std::int64_t value = std::stoll(std::string(digits));
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> Reference(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return std::nullopt;
  text.remove_prefix(start);
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // "0x" before "x": the longer prefix wins.
  for (const std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
    if (text.starts_with(prefix)) return Hexadecimal(text.substr(prefix.size()), negative);
  }
  return Decimal(text, negative);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const auto fallback = input.ConsumeIntegral<std::int32_t>();
  const std::string text = input.ConsumeRemainingBytesAsString();
  QND_FUZZ_CHECK(qnd::ParseUserCount(text, fallback) == Reference(text).value_or(fallback));
  return 0;
}
