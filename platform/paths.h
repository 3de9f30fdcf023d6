// Path conventions of the platform the program runs on.
// Windows separates path components with "\", POSIX with "/"; everything that builds or scans
// paths takes its separator from here, so the Windows build does exactly what Windows users expect.
#pragma once

#include <cstddef>

namespace qnd::platform {

/// The path separator of this platform: '\\' on Windows, '/' on POSIX.
extern const char kPathSeparator;

/// How many characters of an absolute path name its drive ("C:"); POSIX paths have none.
extern const std::size_t kDrivePrefixLength;

/// True when the file system finds names without regard to case, as Windows does.
extern const bool kFileNamesIgnoreCase;

}  // namespace qnd::platform
