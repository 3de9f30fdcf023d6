// Questions and operations on files and folders.
// POSIX follows the Windows answers the logic relies on: a folder is no file and a file is no
// folder.
//
// Results, the same in every header of platform/:
// - A call that can fail returns a std::error_code, empty on success and otherwise the system's
//   own code (Windows: its error code; POSIX: errno), and fills its out arguments only on success.
//   Where the logic tells failures apart, the header names the std::errc value that both bodies
//   give (a missing registry key: std::errc::no_such_file_or_directory).
// - A question that cannot fail (does this folder exist, the running program's path) returns its
//   answer; an answer the system may not have is a std::optional or "", as the header says.
// - Two calls keep a status of their own, because the logic acts on each of its outcomes:
//   RegistryKey::ReadString (ValueRead) and Shell::CopyFiles (the shell's result, a Windows error
//   code on both bodies).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_time.h"
#include "platform/open_file.h"

namespace qnd::platform {

/// File attribute bits as Windows reports them.
inline constexpr std::uint32_t kAttributeReadOnly = 0x0001;
inline constexpr std::uint32_t kAttributeHidden = 0x0002;
inline constexpr std::uint32_t kAttributeSystem = 0x0004;
inline constexpr std::uint32_t kAttributeDirectory = 0x0010;
inline constexpr std::uint32_t kAttributeArchive = 0x0020;
inline constexpr std::uint32_t kAttributeReparsePoint = 0x0400;

/// One entry of a folder listing.
struct DirectoryEntry {
  std::string name;
  std::uint32_t attributes = 0;  ///< the kAttribute bits
  /// A symbolic link, a junction or a mount point: the entry stands for something elsewhere, whose
  /// contents are not this folder's to walk, archive or delete.
  bool isLink = false;
  std::uint64_t size = 0;  ///< files only
  FileTime lastWrite;
};

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

  /// The folder for temporary files, ending with a separator. Windows: GetTempPathW. POSIX:
  /// $TMPDIR, else /tmp.
  virtual std::string TemporaryFolder() = 0;

  /// True when anything is at `path`: a file, a folder or a link (a link is not followed, so a
  /// link to nothing counts as well).
  virtual bool EntryExists(const std::string& path) = 0;

  /// The entries of the folder `folder` (ending with a separator) as FindFirstFileW/FindNextFileW
  /// list them for `folder` + "*.*": every name, hidden ones included, "." and ".." first where the
  /// folder has them, in the file system's order (NTFS: names compared upper-cased). Links are not
  /// followed. POSIX gives what Wine gives: the NTFS order; hidden and system from the extended
  /// attribute user.DOSATTRIB ("0x2", "0x4"), hidden also for names starting with "."; read-only
  /// for a missing owner write bit; archive for files, directory for folders; symbolic links as
  /// reparse points (with the directory bit when they point to a folder). `entries` is replaced.
  virtual std::error_code ListFolder(const std::string& folder,
                                     std::vector<DirectoryEntry>& entries) = 0;

  /// Opens the file `path` for reading while others may read it but not write to it (Windows:
  /// CreateFileW with FILE_SHARE_READ only, so a file someone has open for writing is refused).
  /// A link is not followed: opening one fails, as does opening a folder. POSIX cannot keep others
  /// from writing; it refuses links and everything but regular files.
  virtual std::error_code OpenForReading(const std::string& path,
                                         std::unique_ptr<InputFile>& file) = 0;

  /// Creates the file `path` for writing, replacing an existing one, open for this program alone
  /// (Windows: share mode 0; POSIX cannot keep others out). A read-only file is not replaced.
  virtual std::error_code CreateForWriting(const std::string& path,
                                           std::unique_ptr<OutputFile>& file) = 0;

  /// Reads an open file's bytes from its start and tells whether they are the ones expected.
  using ContentCheck = std::function<bool(InputFile& file)>;

  /// Deletes the file `path` when it is still the file `stamp` describes (same identity, size and
  /// last-write time), no link, and `sameContent` accepts the bytes read from it just before; a
  /// read-only file is deleted as well, as the shell does it. Windows checks and deletes through
  /// one handle that keeps writers out. Otherwise nothing is touched and the result is
  /// std::errc::operation_canceled (or the error of a failing read).
  virtual std::error_code RemoveFileIfUnchanged(const std::string& path, const FileStamp& stamp,
                                                const ContentCheck& sameContent) = 0;

  /// Gives the file `from` the name `to` in the same folder or on the same volume, replacing a file
  /// of that name (not a read-only one, nor a folder), and puts the change on stable storage
  /// (Windows: MoveFileExW with MOVEFILE_REPLACE_EXISTING and MOVEFILE_WRITE_THROUGH; POSIX:
  /// rename, then fsync of the folder).
  virtual std::error_code RenameFile(const std::string& from, const std::string& to) = 0;

  /// Removes the folder `path` when it is empty; a read-only folder as well. A link to a folder is
  /// not removed.
  virtual std::error_code RemoveEmptyFolder(const std::string& path) = 0;
};

/// The file system of this system.
FileSystem& SystemFileSystem();

}  // namespace qnd::platform
