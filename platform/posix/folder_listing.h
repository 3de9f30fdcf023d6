// Folder listings and file stamps the way Wine shows a Linux folder to Windows programs (internal
// to platform/posix).
#pragma once

#include <sys/stat.h>

#include <string>
#include <system_error>
#include <vector>

#include "platform/file_system.h"

namespace qnd::platform::posix {

/// `time` as a Windows file time.
FileTime FileTimeOf(const struct timespec& time);

/// The modification time of `info` as a Windows file time.
FileTime LastWriteOf(const struct stat& info);

/// Identity, size, modification and change time of `info`.
FileStamp StampOf(const struct stat& info);

/// FileSystem::ListFolder.
std::error_code ListFolderLikeWine(const std::string& folder, std::vector<DirectoryEntry>& entries);

}  // namespace qnd::platform::posix
