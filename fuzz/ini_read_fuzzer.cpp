// Ini files are written by the product and by people with an editor, so any bytes may arrive. The
// reader must find values without crashing, give back every byte it decoded, and cut values to a
// length without splitting a character.
//
// Input: the section and the key (FuzzedDataProvider strings, each ended by a backslash and one
// more character), the length limit from the last two bytes, the ini file's bytes in between.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/posix/ini_text.h"
#include "platform/text.h"

namespace {

using namespace qnd::platform;
using namespace qnd::platform::posix;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void CheckCut(const std::string& text, std::size_t maxUnits) {
  const std::string cut = CutToUtf16Units(text, maxUnits);
  QND_FUZZ_CHECK(IsValidUtf8(cut));
  const std::u16string units = Utf8ToUtf16(text);
  const std::u16string kept = Utf8ToUtf16(cut);
  QND_FUZZ_CHECK(kept.size() <= maxUnits);
  QND_FUZZ_CHECK(units.compare(0, kept.size(), kept) == 0);
  // Only a surrogate pair that straddles the limit may make the result one unit shorter.
  const std::size_t full = std::min(units.size(), maxUnits);
  const bool pairSplit = full < units.size() && full > 0 && IsHighSurrogate(units[full - 1]) &&
                         IsLowSurrogate(units[full]);
  QND_FUZZ_CHECK(kept.size() == full - (pairSplit ? 1 : 0));
}

void CheckTrim(const std::string& text) {
  const std::string_view trimmed = TrimTrailingBlanks(text);
  QND_FUZZ_CHECK(std::string_view(text).starts_with(trimmed));
  QND_FUZZ_CHECK(trimmed.empty() || (trimmed.back() != ' ' && trimmed.back() != '\t'));
  QND_FUZZ_CHECK(text.find_first_not_of(" \t", trimmed.size()) == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = input.ConsumeRandomLengthString(256);
  const std::string key = input.ConsumeRandomLengthString(256);
  const auto maxUnits = input.ConsumeIntegralInRange<std::size_t>(0, 4096);
  const std::string bytes = input.ConsumeRemainingBytesAsString();

  // An edit rewrites the whole file from what was decoded, so nothing may get lost on the way.
  const IniText text = DecodeIniBytes(bytes);
  QND_FUZZ_CHECK(EncodeIniBytes(text) == bytes);

  const auto value = FindIniValue(bytes, section, key);
  if (value) {
    QND_FUZZ_CHECK(IsValidUtf8(*value));
    CheckCut(*value, maxUnits);
    // Short limits, where a character split at the limit is most likely.
    for (std::size_t limit = 0; limit <= 32; ++limit) CheckCut(*value, limit);
    CheckTrim(*value);
  }
  CheckCut(bytes, maxUnits);  // also text that is no UTF-8 at all
  return 0;
}
