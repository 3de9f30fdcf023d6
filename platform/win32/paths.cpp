#include "platform/paths.h"

namespace qnd::platform {

const char kPathSeparator = '\\';
const std::size_t kDrivePrefixLength = 2;
const bool kFileNamesIgnoreCase = true;

}  // namespace qnd::platform
