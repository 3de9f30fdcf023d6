#include "platform/paths.h"

#include <climits>

namespace qnd::platform {

const char kPathSeparator = '/';
const std::size_t kDrivePrefixLength = 0;
const bool kFileNamesIgnoreCase = false;

// PATH_MAX counts the terminating zero.
bool IsPathTooLong(std::string_view path) { return path.size() >= PATH_MAX; }

}  // namespace qnd::platform
