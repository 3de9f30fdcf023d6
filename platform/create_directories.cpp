#include "platform/create_directories.h"

#include "platform/paths.h"

namespace qnd::platform {
namespace {

// Windows takes both separators; on POSIX both tests are the same.
bool IsSeparator(char c) { return c == kPathSeparator || c == '/'; }

}  // namespace

std::error_code CreateFolderChain(
    const std::string& path, const std::function<bool(const std::string&)>& isFolder,
    const std::function<std::error_code(const std::string&)>& createOne) {
  std::string folder = path;
  while (folder.size() > 1 && IsSeparator(folder.back())) folder.pop_back();
  if (folder.empty()) return createOne(folder);
  if (isFolder(folder)) return {};
  std::size_t separator = folder.size();
  while (separator > 0 && !IsSeparator(folder[separator - 1])) --separator;
  // A separator at the very start is the root, which is there.
  if (separator > 1) {
    if (const std::error_code error =
            CreateFolderChain(folder.substr(0, separator - 1), isFolder, createOne))
      return error;
  }
  return createOne(folder);
}

}  // namespace qnd::platform
