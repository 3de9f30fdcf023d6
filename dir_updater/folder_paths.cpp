#include "dir_updater/folder_paths.h"

#include "platform/text.h"

namespace qnd::dir {
namespace {

std::string Comparable(const std::string& path, char separator, bool ignoreCase) {
  std::string text = ignoreCase ? platform::ToLowerUtf8(path) : path;
  while (text.size() > 1 && text.back() == separator) text.pop_back();
  return text;
}

}  // namespace

bool SameFolder(const std::string& a, const std::string& b, char separator, bool ignoreCase) {
  return Comparable(a, separator, ignoreCase) == Comparable(b, separator, ignoreCase);
}

bool WithinFolder(const std::string& path, const std::string& folder, char separator,
                  bool ignoreCase) {
  const std::string p = Comparable(path, separator, ignoreCase);
  std::string f = Comparable(folder, separator, ignoreCase);
  if (p == f) return true;
  if (f.empty()) return false;
  if (f.back() != separator) f += separator;  // a root such as "/" ends with one already
  return p.starts_with(f);
}

bool DirectlyInside(const std::string& path, const std::string& folder, char separator,
                    bool ignoreCase) {
  const std::string p = Comparable(path, separator, ignoreCase);
  const std::size_t last = p.find_last_of(separator);
  if (last == std::string::npos || last + 1 == p.size()) return false;
  return SameFolder(p.substr(0, last == 0 ? 1 : last), folder, separator, ignoreCase) &&
         !SameFolder(p, folder, separator, ignoreCase);
}

}  // namespace qnd::dir
