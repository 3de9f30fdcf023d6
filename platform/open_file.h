// Files opened for streaming: a file read while nobody may write to it, and a new file written
// while nobody else may open it. Both close themselves when destroyed.
//
// Results as stated in file_system.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <system_error>

#include "platform/file_time.h"

namespace qnd::platform {

/// What tells whether a path still names the same file with the same content as when it was looked
/// at: the file's identity on its volume, its size, its last-write time, and the time of its last
/// change of any kind, which no program can set back (a file rewritten with its old size and
/// last-write time restored, as copy tools do, still shows a new change time).
struct FileStamp {
  std::uint64_t volume = 0;  ///< Windows: the volume's serial number; POSIX: the device
  std::uint64_t index = 0;   ///< Windows: the file index; POSIX: the inode
  std::uint64_t size = 0;
  FileTime lastWrite;
  FileTime lastChange;  ///< Windows: ChangeTime; POSIX: st_ctime
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

/// A file open for reading from its start.
class InputFile {
 public:
  virtual ~InputFile() = default;
  /// Reads up to `size` bytes into `buffer`; `got` is 0 only at the end of the file.
  virtual std::error_code Read(char* buffer, std::size_t size, std::size_t& got) = 0;
  /// The stamp of the open file.
  virtual std::error_code Stamp(FileStamp& stamp) = 0;
};

/// A file open for writing. Destroying it without Close closes it without a check.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  /// Writes all of `data` at the current position, or fails.
  virtual std::error_code Write(const char* data, std::size_t size) = 0;
  /// Moves the position to `offset` bytes from the start.
  virtual std::error_code Seek(std::uint64_t offset) = 0;
  /// Puts everything written so far on stable storage (Windows: FlushFileBuffers; POSIX: fsync of
  /// the file and of its folder, so the new file's name survives a crash as well).
  virtual std::error_code Flush() = 0;
  /// Closes the file; a close that fails may have lost data. Later calls fail.
  virtual std::error_code Close() = 0;
  /// The stamp of the open file.
  virtual std::error_code Stamp(FileStamp& stamp) = 0;
};

}  // namespace qnd::platform
