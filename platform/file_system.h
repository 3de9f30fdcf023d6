// Questions and operations on files and folders.
// POSIX follows the Windows answers the logic relies on: a folder is no file and a file is no folder.
#pragma once

#include <string>

namespace qnd::platform {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  /// True when `path` names an existing file (not a folder).
  virtual bool FileExists(const std::string& path) = 0;
  /// True when `path` names an existing folder.
  virtual bool DirectoryExists(const std::string& path) = 0;
};

/// The file system of this system.
FileSystem& SystemFileSystem();

}  // namespace qnd::platform
