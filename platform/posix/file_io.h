// Whole-file reads and atomic replacement for the POSIX bodies (internal to platform/posix).
#pragma once

#include <string>
#include <system_error>

namespace qnd::platform::posix {

/// Reads the whole file into `bytes`. Fails with the errno of open/read.
std::error_code ReadFileBytes(const std::string& path, std::string& bytes);

/// Writes `bytes` to a temporary file beside `path`, flushes it to disk and renames it over `path`,
/// so a crash or a full disk leaves either the old or the new file, never a partial one. An existing
/// file keeps its permission bits.
std::error_code ReplaceFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace qnd::platform::posix
