#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/paths.h"

namespace qnd::platform {
namespace {

bool IsSeparator(char c, char separator, bool windows) {
  return c == separator || (windows && c == '/');
}

bool HasDrive(const std::string& path, bool windows) {
  return windows && path.size() >= 2 && path[1] == ':';
}

// "C:\\...", "\\\\server\\..." or (POSIX) "/...".
bool IsFullPath(const std::string& path, char separator, bool windows) {
  if (!windows) return !path.empty() && path[0] == separator;
  return (HasDrive(path, true) && path.size() > 2 && IsSeparator(path[2], separator, true)) ||
         (path.size() >= 2 && IsSeparator(path[0], separator, true) &&
          IsSeparator(path[1], separator, true));
}

// Splits at separators, dropping empty parts.
std::vector<std::string> Parts(const std::string& path, char separator, bool windows) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (IsSeparator(c, separator, windows)) {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

// "." goes, ".." takes back the part before it (never the root's own parts).
void Resolve(std::vector<std::string>& parts, std::size_t rootParts) {
  std::vector<std::string> resolved(parts.begin(), parts.begin() + rootParts);
  for (std::size_t i = rootParts; i < parts.size(); ++i) {
    if (parts[i] == ".") continue;
    if (parts[i] == "..") {
      if (resolved.size() > rootParts) resolved.pop_back();
      continue;
    }
    resolved.push_back(parts[i]);
  }
  parts = std::move(resolved);
}

// Windows drops a single dot at the end of a part, and trailing dots and blanks of the last one.
void TrimDots(std::vector<std::string>& parts, std::size_t rootParts) {
  for (std::size_t i = rootParts; i < parts.size(); ++i) {
    std::string& part = parts[i];
    if (part != "." && part != ".." && part.size() > 1 && part.back() == '.' &&
        part[part.size() - 2] != '.')
      part.pop_back();
  }
  // A last part of nothing but dots and blanks goes, and the one before it becomes the last.
  while (parts.size() > rootParts) {
    std::string& last = parts.back();
    while (!last.empty() && (last.back() == '.' || last.back() == ' ')) last.pop_back();
    if (!last.empty()) break;
    parts.pop_back();
  }
}

}  // namespace

std::string LexicalFullPath(const std::string& path, const std::string& currentFolder,
                            char separator, std::size_t drivePrefixLength) {
  const bool windows = drivePrefixLength > 0;
  const std::string sep(1, separator);
  // A current folder that is no full path itself (the system could not tell it) counts as the
  // root, so every step below starts from a full path and the reading ends.
  const std::string currentDirectory =
      IsFullPath(currentFolder, separator, windows) ? currentFolder : (windows ? "C:" : "") + sep;
  const auto full = [&](const std::string& absolute) {
    return LexicalFullPath(absolute, currentDirectory, separator, drivePrefixLength);
  };
  const bool leadingSeparator = !path.empty() && IsSeparator(path[0], separator, windows);
  const bool unc =
      windows && leadingSeparator && path.size() >= 2 && IsSeparator(path[1], separator, true);
  // "\\?\" and "\\.\" ask Windows to take the path as it stands.
  if (unc && path.size() >= 4 && (path[2] == '?' || path[2] == '.') &&
      IsSeparator(path[3], separator, true))
    return path;

  // The root of the full path, and what lies below it.
  std::string root;
  std::string rest;
  if (unc) {
    root = sep + sep;
    rest = path.substr(2);
  } else if (HasDrive(path, windows)) {
    const bool onCurrentDrive = HasDrive(currentDirectory, true) &&
                                std::toupper(static_cast<unsigned char>(currentDirectory[0])) ==
                                    std::toupper(static_cast<unsigned char>(path[0]));
    const bool driveRelative = path.size() == 2 || !IsSeparator(path[2], separator, true);
    // A drive's own current folder is known only for the current drive; elsewhere its root.
    if (driveRelative && onCurrentDrive) return full(currentDirectory + sep + path.substr(2));
    root = path.substr(0, 2) + sep;
    rest = path.substr(2);
  } else if (leadingSeparator) {
    if (!windows) {
      root = sep;
      rest = path;
    } else {
      // The root of the current drive or share.
      const std::string current = full(currentDirectory);
      if (HasDrive(current, true)) return full(current.substr(0, 2) + path);
      const std::vector<std::string> share = Parts(current, separator, true);
      std::string shareRoot = sep + sep;
      for (std::size_t i = 0; i < share.size() && i < 2; ++i) shareRoot += share[i] + sep;
      return full(shareRoot + path.substr(1));
    }
  } else {
    return full(currentDirectory + sep + path);
  }

  std::vector<std::string> parts = Parts(rest, separator, windows);
  const std::size_t rootParts = unc ? std::min<std::size_t>(2, parts.size()) : 0;
  Resolve(parts, rootParts);
  if (windows) TrimDots(parts, rootParts);
  std::string result = root;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) result += sep;
    result += parts[i];
  }
  // A share's root ends with a separator, as a drive's does; so does a path written with one.
  const bool endsWithSeparator = IsSeparator(path.back(), separator, windows);
  if (result.back() != separator &&
      ((unc && parts.size() == rootParts && rootParts == 2) || endsWithSeparator))
    result += sep;
  return result;
}

}  // namespace qnd::platform
