// Path conventions of the platform the program runs on.
// Windows separates path components with "\", POSIX with "/"; everything that builds or scans
// paths takes its separator from here, so the Windows build does exactly what Windows users expect.
#pragma once

#include <cstddef>
#include <string_view>

namespace qnd::platform {

/// The path separator of this platform: '\\' on Windows, '/' on POSIX.
extern const char kPathSeparator;

/// How many characters of an absolute path name its drive ("C:"); POSIX paths have none.
extern const std::size_t kDrivePrefixLength;

/// True when the file system finds names without regard to case, as Windows does.
extern const bool kFileNamesIgnoreCase;

/// True when `path` is too long for the system's file functions: Windows takes fewer than MAX_PATH
/// (260) UTF-16 code units, so a path of 260 characters or more is refused; POSIX fewer than
/// PATH_MAX (4096) bytes.
bool IsPathTooLong(std::string_view path);

}  // namespace qnd::platform
