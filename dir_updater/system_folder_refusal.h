// The folders of the system that QNDUpdaterP2 refuses as its target even when a release-8
// program stands in them: archiving and emptying them would take the system, every installed
// program or the users' data with them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/shell.h"

namespace qnd::dir {

/// The error text that refuses `targetDir` (a full path) as one of `folders`, or nullopt. Refused
/// are the system's own folder and everything below it, each folder for programs, the shared
/// application data, the profiles' folder and each profile directly in it, and the user's own
/// profile; a folder below any of these but the system's is an installation like any other.
std::optional<std::string> SystemFolderRefusal(const std::string& targetDir,
                                               const std::vector<platform::SystemFolder>& folders,
                                               char separator = platform::kPathSeparator,
                                               bool ignoreCase = platform::kFileNamesIgnoreCase);

}  // namespace qnd::dir
