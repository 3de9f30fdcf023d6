#include "platform/posix/reg_file.h"

#include <cstddef>

#include "platform/text.h"

namespace qnd::platform::posix {
namespace {

constexpr std::string_view kVersion5Header = "Windows Registry Editor Version 5.00";
constexpr std::string_view kVersion4Header = "REGEDIT4";

std::u16string Fold(std::string_view text) {
  std::u16string units = Utf8ToUtf16(text);
  for (char16_t& u : units) u = UpperCaseUnit(u);
  return units;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view text) { return TrimStart(text, IsBlank); }
std::string_view TrimRight(std::string_view text) { return TrimEnd(text, IsBlank); }

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && AsciiToLower(text.substr(0, prefix.size())) == prefix;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A hex number of 1 to `maxDigits` digits and nothing else.
std::optional<std::uint32_t> ParseHexNumber(std::string_view text, std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    value = (value << 4) | static_cast<std::uint32_t>(digit);
  }
  return value;
}

// The text of an export file as UTF-8. Regedit writes UTF-16LE with a BOM; REGEDIT4 files come in
// the ANSI code page, which shows in bytes that are not UTF-8.
std::string DecodeText(std::string_view bytes) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE')
    return Utf16ToUtf8(Utf16LeUnits(bytes.substr(2)));
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return Windows1252ToUtf8(bytes);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::vector<std::string_view> Components(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const std::size_t end = path.find('\\');
    if (end != 0) parts.push_back(path.substr(0, end));
    if (end == std::string_view::npos) break;
    path.remove_prefix(end + 1);
  }
  return parts;
}

// A quoted name or text starting at `pos` (on the opening quote); \\ and \" are escapes, any other
// backslash stands for itself. Advances `pos` past the closing quote; null when there is none.
std::optional<std::string> ParseQuoted(std::string_view line, std::size_t& pos) {
  std::string text;
  for (std::size_t i = pos + 1; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      pos = i + 1;
      return text;
    }
    if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '\\' || line[i + 1] == '"')) ++i;
    text += line[i];
  }
  return std::nullopt;
}

// "12,ab,0" with blanks around the bytes and an optional trailing comma.
std::optional<std::string> ParseHexBytes(std::string_view list) {
  std::string bytes;
  list = TrimRight(TrimLeft(list));
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    const auto byte = ParseHexNumber(TrimRight(TrimLeft(list.substr(0, comma))), 2);
    if (!byte) return std::nullopt;
    bytes += static_cast<char>(*byte);
    if (comma == std::string_view::npos) break;
    list = TrimLeft(list.substr(comma + 1));
  }
  return bytes;
}

class Parser {
 public:
  Parser(std::vector<std::string_view> lines, bool ansi) : lines_(std::move(lines)), ansi_(ansi) {}

  RegImage Run() {
    image_.AddKey("");  // HKEY_LOCAL_MACHINE itself always exists
    for (next_ = 1; next_ < lines_.size();) {
      const std::string_view line = TrimLeft(lines_[next_++]);
      if (line.empty() || line.front() == ';') continue;
      if (line.front() == '[') {
        KeyLine(line);
      } else if (line.front() == '"' || line.front() == '@') {
        ValueLine(line);
      }
    }
    return std::move(image_);
  }

 private:
  void KeyLine(std::string_view line) {
    current_ = nullptr;  // values after a foreign root go nowhere
    const std::size_t close = line.rfind(']');
    if (close == std::string_view::npos) return;
    const std::string_view name = line.substr(1, close - 1);
    const std::size_t slash = name.find('\\');
    const std::string root = AsciiToLower(name.substr(0, slash));
    if (root != "hkey_local_machine" && root != "hklm") return;
    current_ = &image_.AddKey(slash == std::string_view::npos ? std::string_view()
                                                              : name.substr(slash + 1));
  }

  void ValueLine(std::string_view line) {
    std::size_t pos = 1;
    std::string name;
    if (line.front() == '"') {
      pos = 0;
      auto quoted = ParseQuoted(line, pos);
      if (!quoted) return;
      name = std::move(*quoted);
    }
    std::string_view rest = TrimLeft(line.substr(pos));
    if (!rest.starts_with('=')) return;
    rest = TrimLeft(rest.substr(1));

    std::optional<RegValue> value;
    if (rest.starts_with('"')) {
      std::size_t start = 0;
      if (auto text = ParseQuoted(rest, start)) {
        value = RegValue{name, kRegSz, Utf16LeBytes(Utf8ToUtf16(*text)) + std::string(2, '\0')};
      }
    } else if (StartsWithIgnoreCase(rest, "dword:")) {
      if (auto number = ParseHexNumber(TrimRight(rest.substr(6)), 8)) {
        std::string data;
        for (int shift = 0; shift < 32; shift += 8) data += static_cast<char>(*number >> shift);
        value = RegValue{name, kRegDword, data};
      }
    } else if (StartsWithIgnoreCase(rest, "hex")) {
      value = HexValue(name, rest.substr(3));
    }
    if (value && current_ != nullptr) Store(std::move(*value));
  }

  // The part after "hex": ":bytes" or "(type):bytes", the bytes possibly continued on the following
  // lines after a trailing backslash.
  std::optional<RegValue> HexValue(const std::string& name, std::string_view rest) {
    std::uint32_t type = kRegBinary;
    if (rest.starts_with('(')) {
      const std::size_t close = rest.find(')');
      if (close == std::string_view::npos) return std::nullopt;
      const auto number = ParseHexNumber(rest.substr(1, close - 1), 8);
      if (!number) return std::nullopt;
      type = *number;
      rest.remove_prefix(close + 1);
    }
    if (!rest.starts_with(':')) return std::nullopt;
    std::string list(TrimRight(rest.substr(1)));
    while (list.ends_with('\\')) {
      list.pop_back();
      if (next_ >= lines_.size()) break;
      list += TrimRight(TrimLeft(lines_[next_++]));
    }
    auto bytes = ParseHexBytes(list);
    if (!bytes) return std::nullopt;
    // REGEDIT4 files hold text in the ANSI code page; the registry holds it in UTF-16.
    if (ansi_ && (type == kRegSz || type == kRegExpandSz || type == kRegMultiSz)) {
      *bytes = Utf16LeBytes(Utf8ToUtf16(Windows1252ToUtf8(*bytes)));
    }
    return RegValue{name, type, std::move(*bytes)};
  }

  void Store(RegValue value) {
    for (RegValue& existing : current_->values) {
      if (EqualsIgnoreCase(existing.name, value.name)) {
        existing.type = value.type;
        existing.data = std::move(value.data);
        return;
      }
    }
    current_->values.push_back(std::move(value));
  }

  std::vector<std::string_view> lines_;
  bool ansi_;
  std::size_t next_ = 0;
  RegImage image_;
  RegKey* current_ = nullptr;
};

}  // namespace

const RegValue* RegKey::FindValue(std::string_view name) const {
  for (const RegValue& value : values) {
    if (EqualsIgnoreCase(value.name, name)) return &value;
  }
  return nullptr;
}

const RegKey* RegImage::FindKey(std::string_view path) const {
  const auto it = keys_.find(Fold(path));
  return it == keys_.end() ? nullptr : &it->second;
}

std::vector<const RegKey*> RegImage::Keys() const {
  std::vector<const RegKey*> keys;
  for (const auto& [folded, key] : keys_) keys.push_back(&key);
  return keys;
}

RegKey& RegImage::AddKey(std::string_view path) {
  std::string prefix;
  RegKey* key = &keys_.try_emplace(Fold(prefix), RegKey{prefix, {}}).first->second;
  for (const std::string_view part : Components(path)) {
    if (!prefix.empty()) prefix += '\\';
    prefix += part;
    // A key keeps the spelling it was first given, as in the registry.
    key = &keys_.try_emplace(Fold(prefix), RegKey{prefix, {}}).first->second;
  }
  return *key;
}

std::optional<RegImage> ParseRegFile(std::string_view bytes) {
  const std::string text = DecodeText(bytes);
  std::vector<std::string_view> lines = SplitLines(text);
  if (lines.empty()) return std::nullopt;
  const std::string_view header = TrimRight(lines.front());
  if (header != kVersion5Header && header != kVersion4Header) return std::nullopt;
  return Parser(std::move(lines), header == kVersion4Header).Run();
}

}  // namespace qnd::platform::posix
