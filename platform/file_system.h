// Questions and operations on files and folders.
// POSIX follows the Windows answers the logic relies on: a folder is no file and a file is no
// folder.
#pragma once

#include <string>
#include <system_error>

namespace qnd::platform {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  /// True when `path` names an existing file (not a folder).
  virtual bool FileExists(const std::string& path) = 0;
  /// True when `path` names an existing folder.
  virtual bool DirectoryExists(const std::string& path) = 0;

  /// Copies the file `source` to `target` as CopyFileExW without flags does: an existing target is
  /// replaced, the copy gets the source's attributes and last-write time, and a read-only target is
  /// refused with "access denied". POSIX: read-only means no owner write bit (refused even for
  /// root, std::errc::permission_denied); hidden targets need no rule, as only names starting with
  /// "." are hidden there. The copy is written beside the target and renamed over it, so a failure
  /// leaves the old target.
  virtual std::error_code CopyFileTo(const std::string& source, const std::string& target) = 0;

  /// Creates the folder `path` with its missing parents; an existing folder counts as created.
  virtual std::error_code CreateDirectories(const std::string& path) = 0;

  /// The name under which the folder `folder` (ending with a separator) holds `name`, which is one
  /// name without separators. Windows matches names without regard to case itself, so this is
  /// `name`. POSIX: `name` if it exists as spelled, else the first entry (in byte order) that
  /// equals it without regard to case, else `name` (so a new file gets the name asked for).
  virtual std::string ResolveName(const std::string& folder, const std::string& name) = 0;
};

/// The file system of this system.
FileSystem& SystemFileSystem();

}  // namespace qnd::platform
