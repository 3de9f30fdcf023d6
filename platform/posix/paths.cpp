#include "platform/paths.h"

namespace qnd::platform {

const char kPathSeparator = '/';
const std::size_t kDrivePrefixLength = 0;
const bool kFileNamesIgnoreCase = false;

}  // namespace qnd::platform
