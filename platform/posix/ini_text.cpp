// The ini file seen line by line as Windows sees it. Both encodings become UTF-16 code units first,
// so an edit splices units and every unit it does not touch is written back as it was read.
#include "platform/posix/ini_text.h"

#include <vector>

#include "platform/text.h"

namespace qnd::platform::posix {
namespace {

using Units = std::u16string_view;

bool IsLineEnd(char16_t unit) { return unit == u'\r' || unit == u'\n'; }

// Windows trims blanks and tabs; CR, VT, FF and ^Z go too, as under Wine, which costs nothing.
bool IsBlank(char16_t unit) {
  return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\v' || unit == u'\f' ||
         unit == 0x1A;
}

Units TrimUnits(Units text) { return Trim(text, IsBlank); }

// The blank characters are all ASCII, so UTF-8 can be trimmed byte by byte.
std::string_view TrimName(std::string_view name) {
  return Trim(name, [](char c) { return IsBlank(static_cast<unsigned char>(c)); });
}

struct Line {
  enum class Kind { kBlank, kSection, kKey, kOther };
  std::size_t begin = 0;  // first unit of the line
  std::size_t end = 0;    // one past its last unit, before the line end
  std::size_t next = 0;   // first unit of the next line
  Kind kind = Kind::kOther;
  Units name;   // a section's or key's name as spelt in the file
  Units value;  // a key's value, trimmed
};

Line ParseLine(Units text, std::size_t begin, std::size_t end, std::size_t next) {
  Line line;
  line.begin = begin;
  line.end = end;
  line.next = next;
  const Units content = TrimUnits(text.substr(begin, end - begin));
  if (content.empty()) {
    line.kind = Line::Kind::kBlank;
    return line;
  }
  // A header runs to the last ']'; a '[' line without one is an ordinary line of its section.
  if (content.front() == u'[') {
    const std::size_t close = content.rfind(u']');
    if (close != Units::npos) {
      line.kind = Line::Kind::kSection;
      line.name = TrimUnits(content.substr(1, close - 1));
      return line;
    }
  }
  const std::size_t equals = content.find(u'=');
  if (equals != Units::npos) {
    line.kind = Line::Kind::kKey;
    line.name = TrimUnits(content.substr(0, equals));
    line.value = TrimUnits(content.substr(equals + 1));
  }
  return line;
}

// CRLF, a lone LF and a lone CR each end a line; the last line needs no line end.
std::vector<Line> SplitLines(Units text) {
  std::vector<Line> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = begin;
    while (end < text.size() && !IsLineEnd(text[end])) ++end;
    std::size_t next = end;
    if (next < text.size()) {
      const bool crlf = text[next] == u'\r' && next + 1 < text.size() && text[next + 1] == u'\n';
      next += crlf ? 2 : 1;
    }
    lines.push_back(ParseLine(text, begin, end, next));
    begin = next;
  }
  return lines;
}

bool SameName(Units in_file, std::string_view wanted) {
  return EqualsIgnoreCase(Utf16ToUtf8(in_file), wanted);
}

// The lines of a section: its header and everything up to the next header.
struct Section {
  std::size_t header = 0;
  std::size_t end = 0;
};

// Only the first section of a name counts; a later one of the same name is never searched.
std::optional<Section> FindSection(const std::vector<Line>& lines, std::string_view name) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != Line::Kind::kSection || !SameName(lines[i].name, name)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && lines[end].kind != Line::Kind::kSection) ++end;
    return Section{i, end};
  }
  return std::nullopt;
}

// The first of equal keys wins.
std::optional<std::size_t> FindKey(const std::vector<Line>& lines, Section section,
                                   std::string_view name) {
  for (std::size_t i = section.header + 1; i < section.end; ++i) {
    if (lines[i].kind == Line::Kind::kKey && SameName(lines[i].name, name)) return i;
  }
  return std::nullopt;
}

Units Unquoted(Units value) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

IniText DecodeIniBytes(std::string_view bytes) {
  IniText text;
  if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE') {
    text.units = Utf8ToUtf16(Windows1252ToUtf8(bytes));
    return text;
  }
  text.encoding = IniEncoding::kUtf16Le;
  bytes.remove_prefix(2);
  text.units = Utf16LeUnits(bytes);
  if (bytes.size() % 2 != 0) text.stray.assign(1, bytes.back());
  return text;
}

std::string EncodeIniBytes(const IniText& text) {
  if (text.encoding == IniEncoding::kWindows1252) return Utf8ToWindows1252(Utf16ToUtf8(text.units));
  return "\xFF\xFE" + Utf16LeBytes(text.units) + text.stray;
}

std::optional<std::string> FindIniValue(std::string_view bytes, std::string_view section,
                                        std::string_view key) {
  const IniText text = DecodeIniBytes(bytes);
  const std::vector<Line> lines = SplitLines(text.units);
  const std::optional<Section> found = FindSection(lines, TrimName(section));
  if (!found) return std::nullopt;
  const std::optional<std::size_t> line = FindKey(lines, *found, TrimName(key));
  if (!line) return std::nullopt;
  return Utf16ToUtf8(Unquoted(lines[*line].value));
}

std::string SetIniValue(std::string_view bytes, std::string_view section, std::string_view key,
                        std::string_view value) {
  section = TrimName(section);
  key = TrimName(key);
  IniText text = DecodeIniBytes(bytes);
  const std::vector<Line> lines = SplitLines(text.units);
  const std::u16string entry = Utf8ToUtf16(key) + u"=" + Utf8ToUtf16(value);

  const std::optional<Section> found = FindSection(lines, section);
  if (!found) {
    // A new section goes at the very end, without a blank line before it.
    std::u16string added;
    if (!text.units.empty() && !IsLineEnd(text.units.back())) added = u"\r\n";
    added += u"[" + Utf8ToUtf16(section) + u"]\r\n" + entry + u"\r\n";
    text.units += added;
    return EncodeIniBytes(text);
  }

  if (const std::optional<std::size_t> index = FindKey(lines, *found, key)) {
    // Only this line is rewritten, with the key as the file spells it; its line end stays.
    const Line& line = lines[*index];
    const std::u16string replacement = std::u16string(line.name) + u"=" + Utf8ToUtf16(value);
    text.units.replace(line.begin, line.end - line.begin, replacement);
    return EncodeIniBytes(text);
  }

  // A new key follows the section's last line that is not blank, so blank lines that separate
  // this section from the next stay where they are.
  std::size_t anchor = found->header;
  for (std::size_t i = found->header + 1; i < found->end; ++i) {
    if (lines[i].kind != Line::Kind::kBlank) anchor = i;
  }
  const Line& line = lines[anchor];
  std::u16string added = entry + u"\r\n";
  if (line.next == line.end) added.insert(0, u"\r\n");  // the file's last line had no line end
  text.units.insert(line.next, added);
  return EncodeIniBytes(text);
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  return TrimEnd(text, [](char c) { return c == ' ' || c == '\t'; });
}

std::string CutToUtf16Units(std::string_view text, std::size_t max_units) {
  std::u16string units = Utf8ToUtf16(text);
  if (units.size() > max_units) {
    std::size_t keep = max_units;
    if (keep > 0 && IsHighSurrogate(units[keep - 1]) && IsLowSurrogate(units[keep])) --keep;
    units.resize(keep);
  }
  return Utf16ToUtf8(units);
}

}  // namespace qnd::platform::posix
