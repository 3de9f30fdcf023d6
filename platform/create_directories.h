// Creating a folder together with every missing folder above it, written once for both bodies:
// the climb is the same everywhere, only the test for a folder and the creation of one folder are
// the system's, and each body defines those two.
#pragma once

#include <string>
#include <system_error>

namespace qnd::platform {

/// Whether `path` names a folder (a link to one counts); false for "".
bool IsFolder(const std::string& path);

/// Creates the one folder `path`, whose parent exists; succeeds when a folder of that name is
/// there already, and fails with the system's error otherwise (also for "").
std::error_code CreateOneFolder(const std::string& path);

/// Creates `path` (trailing separators aside) and each missing folder above it, the highest first.
/// A folder that exists is left as it is.
std::error_code CreateFolderChain(const std::string& path);

}  // namespace qnd::platform
