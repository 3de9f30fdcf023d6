// Creating a folder together with every missing folder above it, written once for both bodies:
// the climb is the same everywhere, only the creation of one folder is the system's.
#pragma once

#include <functional>
#include <string>
#include <system_error>

namespace qnd::platform {

/// Creates `path` (trailing separators aside) and each missing folder above it, the highest first.
/// `isFolder` tells whether a folder exists; `createOne` creates one folder whose parent exists and
/// succeeds when a folder of that name exists already, or fails with the system's error (also for
/// ""). A folder that exists is left as it is.
std::error_code CreateFolderChain(
    const std::string& path, const std::function<bool(const std::string&)>& isFolder,
    const std::function<std::error_code(const std::string&)>& createOne);

}  // namespace qnd::platform
