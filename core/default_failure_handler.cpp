#include "core/default_failure_handler.h"

#include "platform/text.h"

namespace qnd {

std::string FailureBoxTitle(const std::string& programPath) {
  const std::size_t folderEnd = programPath.find_last_of("\\/");
  std::string name =
      folderEnd == std::string::npos ? programPath : programPath.substr(folderEnd + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  if (name.empty()) return name;
  // The first character (one UTF-8 sequence) keeps its case; the rest is lowered.
  std::size_t firstLength = 1;
  while (firstLength < name.size() &&
         (static_cast<unsigned char>(name[firstLength]) & 0xC0) == 0x80)
    ++firstLength;
  return name.substr(0, firstLength) + platform::ToLowerUtf8(name.substr(firstLength));
}

std::string FailureBoxText(const std::string& failureText) {
  // In UTF-8 every byte of a non-ASCII character is above '.', just like its code point.
  if (!failureText.empty() && static_cast<unsigned char>(failureText.back()) > '.')
    return failureText + ".";
  return failureText;
}

std::string EscapedFailureText() { return FailureBoxText(kUnknownFailureText); }

}  // namespace qnd
