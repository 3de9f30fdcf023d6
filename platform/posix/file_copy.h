// The file copy shared by the POSIX file system and shell (internal to platform/posix).
#pragma once

#include <string>
#include <system_error>

namespace qnd::platform::posix {

/// Copies the regular file `source` to `target` with its permission bits and modification time,
/// replacing whatever file `target` names (read-only or not). The bytes go to a hidden temporary
/// file in the target's folder that is renamed over it, so a failure leaves the old target as it
/// was.
std::error_code CopyFileReplacing(const std::string& source, const std::string& target);

}  // namespace qnd::platform::posix
