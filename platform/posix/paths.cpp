#include "platform/paths.h"

namespace qnd::platform {

const char kPathSeparator = '/';

}  // namespace qnd::platform
