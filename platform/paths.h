// Path conventions of the platform the program runs on.
// Windows separates path components with "\", POSIX with "/"; everything that builds or scans
// paths takes its separator from here, so the Windows build does exactly what Windows users expect.
#pragma once

#include <cstddef>
#include <string>
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

/// `path` as a full path, as the system makes it, without asking whether it exists and without
/// resolving links: absolute against the current folder, "." and ".." resolved, runs of separators
/// made one (Windows: GetFullPathNameW, which also takes "/" for "\", gives "D:x" the current
/// folder of drive D and cuts trailing dots and blanks of the last part; POSIX: LexicalFullPath).
/// Empty when the system cannot make it.
std::string FullPathName(const std::string& path);

/// GetFullPathNameW's rules done by reading alone, with `separator` and `drivePrefixLength`
/// choosing Windows ('\\', 2) or POSIX ('/', 0) rules, against `currentDirectory` (a full path).
/// A path written with a trailing separator keeps one, and a root always has one ("C:\",
/// "\\server\share\", "/"). Windows: "/" is a separator too; "\\server\share" is a root of its
/// own; "D:x" on another drive than the current one starts at that drive's root; "\\?\" paths stay
/// as they are; a part ending in one dot loses it, and the last part its trailing dots and blanks.
std::string LexicalFullPath(const std::string& path, const std::string& currentDirectory,
                            char separator = kPathSeparator,
                            std::size_t drivePrefixLength = kDrivePrefixLength);

}  // namespace qnd::platform
