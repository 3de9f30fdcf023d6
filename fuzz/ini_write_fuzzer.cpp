// Setting a value in a damaged or unusual ini file must neither crash nor disturb other values, and
// the value must read back whenever the ini rules can hold it at all.
//
// Input: section, key, value, then a second section and key whose value must not change
// (FuzzedDataProvider strings, each ended by a backslash and one more character), the ini file's
// bytes after them.
#include <fuzzer/FuzzedDataProvider.h>

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

// What the reader trims around names and values.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\x1A';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool HasLineEnd(std::string_view text) { return text.find_first_of("\r\n") != std::string::npos; }

// Text the file's encoding holds character for character; other text gets a best fit on writing.
bool FitsEncoding(std::string_view text, IniEncoding encoding) {
  if (!IsValidUtf8(text)) return false;
  return encoding == IniEncoding::kUtf16Le || Windows1252ToUtf8(Utf8ToWindows1252(text)) == text;
}

// A line "key=value" that reads back as exactly this key and value: a header would start with '[',
// the key ends at the first '=', and the reader trims the value and takes off one pair of quotes.
bool RoundTrips(std::string_view section, std::string_view key, std::string_view value,
                IniEncoding encoding) {
  section = Trimmed(section);
  key = Trimmed(key);
  if (HasLineEnd(section) || HasLineEnd(key) || HasLineEnd(value)) return false;
  if (key.starts_with('[') || key.find('=') != std::string_view::npos) return false;
  if (Trimmed(value) != value) return false;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return false;
  }
  return FitsEncoding(section, encoding) && FitsEncoding(key, encoding) &&
         FitsEncoding(value, encoding);
}

bool SameEntry(std::string_view section, std::string_view key, std::string_view otherSection,
               std::string_view otherKey) {
  return EqualsIgnoreCase(Trimmed(section), Trimmed(otherSection)) &&
         EqualsIgnoreCase(Trimmed(key), Trimmed(otherKey));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = input.ConsumeRandomLengthString(128);
  const std::string key = input.ConsumeRandomLengthString(128);
  const std::string value = input.ConsumeRandomLengthString(256);
  const std::string otherSection = input.ConsumeRandomLengthString(128);
  const std::string otherKey = input.ConsumeRandomLengthString(128);
  const std::string bytes = input.ConsumeRemainingBytesAsString();

  // An edit decodes the whole file and encodes it again; the lines it does not touch must come
  // back byte for byte, in Windows-1252 as in UTF-16LE.
  QND_FUZZ_CHECK(EncodeIniBytes(DecodeIniBytes(bytes)) == bytes);

  const std::string written = SetIniValue(bytes, section, key, value);
  // The file keeps its encoding.
  QND_FUZZ_CHECK(DecodeIniBytes(written).encoding == DecodeIniBytes(bytes).encoding);
  if (!RoundTrips(section, key, value, DecodeIniBytes(bytes).encoding)) return 0;

  QND_FUZZ_CHECK(FindIniValue(written, section, key) == value);
  QND_FUZZ_CHECK(SetIniValue(written, section, key, value) == written);
  if (!SameEntry(section, key, otherSection, otherKey)) {
    QND_FUZZ_CHECK(FindIniValue(written, otherSection, otherKey) ==
                   FindIniValue(bytes, otherSection, otherKey));
  }
  return 0;
}
