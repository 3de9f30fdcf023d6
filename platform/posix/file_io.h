// Whole-file reads and the one writer that replaces a file safely, for the POSIX bodies (internal
// to platform/posix): the registry export, the ini files, the file system's and the shell's copies.
#pragma once

#include <string>
#include <system_error>

namespace qnd::platform::posix {

/// The folder that holds `path`: "." for a bare name, "/" for a name in the root.
std::string FolderOf(const std::string& path);

/// Reads the whole file into `bytes`. Fails with the errno of open/read.
std::error_code ReadFileBytes(const std::string& path, std::string& bytes);

/// Writes `bytes` in the place of `path`, so a crash or a full disk leaves either the old or the
/// new file, never a partial one. An existing file keeps its permission bits.
std::error_code ReplaceFileAtomically(const std::string& path, const std::string& bytes);

/// Copies the regular file `source` to `target` with its permission bits and modification time,
/// replacing whatever file `target` names (read-only or not), as safely as ReplaceFileAtomically.
std::error_code CopyFileReplacing(const std::string& source, const std::string& target);

}  // namespace qnd::platform::posix
