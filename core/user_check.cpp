#include "core/user_check.h"

#include <limits>

namespace qnd {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::int32_t ParseUserCount(std::string_view text, std::int32_t fallback) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';

  const std::string_view rest = text.substr(pos);
  std::size_t prefix = 0;
  if (rest.starts_with("0x") || rest.starts_with("0X")) {
    prefix = 2;
  } else if (rest.starts_with("$") || rest.starts_with("x") || rest.starts_with("X")) {
    prefix = 1;
  }

  if (prefix != 0) {
    const std::string_view digits = rest.substr(prefix);
    if (digits.empty() || digits.size() > 8) return fallback;
    std::uint32_t value = 0;
    for (const char c : digits) {
      const int digit = HexValue(c);
      if (digit < 0) return fallback;
      value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    // Eight hexadecimal digits fill all 32 bits, so $FFFFFFFF is -1, as a 32-bit integer holds it.
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
  }

  if (rest.empty()) return fallback;
  std::int64_t value = 0;
  for (const char c : rest) {
    if (c < '0' || c > '9') return fallback;
    value = value * 10 + (c - '0');
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return fallback;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) return fallback;
  return static_cast<std::int32_t>(value);
}

Status PruefeQNDUser(UpdaterContext& context) {
  if (context.program == Program::LocalUpdater && context.state.UseSubfolder001) return kStatusOk;
  const std::string userFile = context.state.DataDir + kUserFileName;
  const std::string text = context.platform.profile->ReadString(userFile, "Benutzer", "UserZahl", "");
  if (ParseUserCount(text, -1) != 0) {
    context.log.ShowError("Es sind noch Anwender in Quendra angemeldet!\nDas Update wird abgebrochen!");
    return kStatusFailed;
  }
  return kStatusOk;
}

}  // namespace qnd
