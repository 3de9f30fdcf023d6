// Portable text functions; compiled into both platform bodies.
#include "platform/text.h"

#include <array>
#include <cstdint>

namespace qnd::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 bytes 0x80..0x9F; the undefined ones (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to
// themselves, as MultiByteToWideChar does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Decodes one UTF-8 sequence at `pos`; advances `pos`. Invalid input yields U+FFFD and one byte.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  int length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    ++pos;
    return kReplacement;
  }
  if (pos + length > text.size()) {
    ++pos;
    return kReplacement;
  }
  for (int i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) {
      ++pos;
      return kReplacement;
    }
    value = (value << 6) | (byte(pos + i) & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++pos;
    return kReplacement;
  }
  pos += length;
  return value;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The letter without its diacritic for Latin Extended-A (U+0100..U+017F), as Windows' best fit
// for code page 1252 does; 0 where there is none.
char BestFitLatinExtendedA(char32_t cp) {
  static constexpr char kBase[] =
      "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIiIiJjKkkLlLlLlLlLlNnNnNnnNnOoOoOoOoRrRrRrSs"
      "SsSsSs"
      "TtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";
  static_assert(sizeof(kBase) - 1 == 0x80);
  return kBase[cp - 0x100];
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const char32_t cp = DecodeUtf8(text, pos);
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    AppendUtf8(out, b >= 0x80 && b <= 0x9F ? kCp1252High[b - 0x80] : char32_t{b});
  }
  return out;
}

std::string Utf8ToWindows1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const char32_t cp = DecodeUtf8(text, pos);
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out += static_cast<char>(cp);
      continue;
    }
    char mapped = '?';
    for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
      if (kCp1252High[i] == cp) mapped = static_cast<char>(0x80 + i);
    }
    if (mapped == '?' && cp >= 0x100 && cp <= 0x17F) mapped = BestFitLatinExtendedA(cp);
    if (cp == 0x03A9) mapped = 'O';  // Greek capital omega, as Windows' best fit maps it
    out += mapped;
  }
  return out;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t before = pos;
    if (DecodeUtf8(text, pos) == kReplacement) {
      // U+FFFD itself is valid when it was encoded as such (three bytes).
      if (pos - before != 3) return false;
    }
  }
  return true;
}

char16_t UpperCaseUnit(char16_t u) {
  if (u >= u'a' && u <= u'z') return u - 0x20;
  if (u < 0x80) return u;
  if (u == 0xB5) return 0x039C;  // micro sign
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return u - 0x20;
  if (u == 0xFF) return 0x0178;
  if (u >= 0x100 && u <= 0x17F) {
    if (u == 0x131) return u'I';
    if (u == 0x130 || u == 0x138 || u == 0x149 || u == 0x178) return u;
    if (u == 0x17F) return u'S';
    const bool oddIsLower = (u >= 0x100 && u <= 0x137) || (u >= 0x14A && u <= 0x177);
    if (oddIsLower) return (u & 1) ? u - 1 : u;
    return (u & 1) ? u : u - 1;  // 0x139..0x148 and 0x179..0x17E: even code is the lower case
  }
  if (u >= 0x3B1 && u <= 0x3C9 && u != 0x3C2) return u - 0x20;
  if (u == 0x3C2) return 0x3A3;
  if (u >= 0x430 && u <= 0x44F) return u - 0x20;
  if (u >= 0x450 && u <= 0x45F) return u - 0x50;
  return u;
}

namespace {
char16_t LowerCaseUnit(char16_t u) {
  if (u >= u'A' && u <= u'Z') return u + 0x20;
  if (u < 0x80) return u;
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return u + 0x20;
  if (u == 0x178) return 0xFF;
  if (u >= 0x100 && u <= 0x17F) {
    if (u == 0x130 || u == 0x131 || u == 0x138 || u == 0x149 || u == 0x17F) return u;
    const bool evenIsUpper = (u >= 0x100 && u <= 0x137) || (u >= 0x14A && u <= 0x177);
    if (evenIsUpper) return (u & 1) ? u : u + 1;
    return (u & 1) ? u + 1 : u;
  }
  if (u >= 0x391 && u <= 0x3A9 && u != 0x3A2) return u + 0x20;
  if (u >= 0x410 && u <= 0x42F) return u + 0x20;
  if (u >= 0x400 && u <= 0x40F) return u + 0x50;
  return u;
}
}  // namespace

std::string ToLowerUtf8(std::string_view text) {
  std::u16string units = Utf8ToUtf16(text);
  for (char16_t& u : units) u = LowerCaseUnit(u);
  return Utf16ToUtf8(units);
}

std::string AsciiToLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  }
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  const std::u16string ua = Utf8ToUtf16(a);
  const std::u16string ub = Utf8ToUtf16(b);
  if (ua.size() != ub.size()) return false;
  for (std::size_t i = 0; i < ua.size(); ++i) {
    if (UpperCaseUnit(ua[i]) != UpperCaseUnit(ub[i])) return false;
  }
  return true;
}

std::string Utf16LeBytes(std::u16string_view units) {
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (const char16_t unit : units) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

std::u16string Utf16LeUnits(std::string_view bytes) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                   static_cast<unsigned char>(bytes[i + 1]) << 8);
  }
  return units;
}

NtfsOrderKey NtfsOrderKeyOf(std::string_view name) {
  NtfsOrderKey key;
  key.exact = Utf8ToUtf16(name);
  key.upper = key.exact;
  for (char16_t& unit : key.upper) unit = UpperCaseUnit(unit);
  return key;
}

int CompareAsNtfs(std::string_view a, std::string_view b) {
  // Upper-cased units up to the shorter name, then the shorter first: the order of the upper-cased
  // strings; then the plain units.
  const auto order = NtfsOrderKeyOf(a) <=> NtfsOrderKeyOf(b);
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}

}  // namespace qnd::platform
