#include "platform/paths.h"

#include <climits>

#include "platform/process.h"

namespace qnd::platform {

const char kPathSeparator = '/';
const std::size_t kDrivePrefixLength = 0;
const bool kFileNamesIgnoreCase = false;

// PATH_MAX counts the terminating zero.
bool IsPathTooLong(std::string_view path) { return path.size() >= PATH_MAX; }

// Links are not resolved, as Windows does not resolve them either.
std::string FullPathName(const std::string& path) {
  return LexicalFullPath(path, CurrentDirectory());
}

}  // namespace qnd::platform
