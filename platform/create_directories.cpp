#include "platform/create_directories.h"

#include "platform/paths.h"

namespace qnd::platform {
namespace {

// Windows takes both separators; on POSIX both tests are the same.
bool IsSeparator(char c) { return c == kPathSeparator || c == '/'; }

}  // namespace

std::error_code CreateFolderChain(const std::string& path) {
  std::string folder = path;
  while (folder.size() > 1 && IsSeparator(folder.back())) folder.pop_back();
  if (folder.empty()) return CreateOneFolder(folder);
  if (IsFolder(folder)) return {};
  std::size_t separator = folder.size();
  while (separator > 0 && !IsSeparator(folder[separator - 1])) --separator;
  // A separator at the very start is the root, which is there.
  if (separator > 1) {
    if (const std::error_code error = CreateFolderChain(folder.substr(0, separator - 1)))
      return error;
  }
  return CreateOneFolder(folder);
}

}  // namespace qnd::platform
