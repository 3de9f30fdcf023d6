#include "platform/paths.h"

#include "platform/win32/wide.h"

namespace qnd::platform {

const char kPathSeparator = '\\';
const std::size_t kDrivePrefixLength = 2;
const bool kFileNamesIgnoreCase = true;

// MAX_PATH counts the terminating zero; the programs use no "\\?\" long-path prefix.
bool IsPathTooLong(std::string_view path) { return win32::Widen(path).size() >= MAX_PATH; }

}  // namespace qnd::platform
