// Path conventions of the platform the program runs on.
// Windows separates path components with "\", POSIX with "/"; everything that builds or scans
// paths takes its separator from here, so the Windows build does exactly what Windows users expect.
#pragma once

namespace qnd::platform {

/// The path separator of this platform: '\\' on Windows, '/' on POSIX.
extern const char kPathSeparator;

}  // namespace qnd::platform
