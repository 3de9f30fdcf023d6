// The walk over an installation directory that decides what the archive of the old installation
// holds, and in which order: in every folder first its sub-folders (depth first, in the file
// system's order), then its own files. The archive leaves out hidden and system sub-folders, links
// (to folders or files: neither followed nor archived) and the running program when the directory
// is spelt exactly as the program's own path; hidden, system and read-only files go in.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dir_updater/archive_contents.h"
#include "platform/file_system.h"
#include "platform/paths.h"

namespace qnd::dir {

/// The attribute masks of the two listings: sub-folders, then files.
inline constexpr std::uint32_t kFolderMask = 0x10;
inline constexpr std::uint32_t kFileMask = 0x1EF;

/// True when a listing with `mask` skips an entry with `attributes`: it carries hidden (0x2),
/// system (0x4) or directory (0x10) where the mask does not.
bool IsExcluded(std::uint32_t attributes, std::uint32_t mask);

/// The parent folder of `dir` (which ends with `separator`), with its trailing separator:
/// "D:\Programme\Quendra\" gives "D:\Programme\". "" when `dir` has no parent.
std::string ParentFolderOf(const std::string& dir, char separator = platform::kPathSeparator);

/// `dir` with the first occurrence of `base` removed (exact, case-sensitive): the folder's part of
/// its files' entry names, "Quendra\Daten\" for "D:\Programme\Quendra\Daten\" and "D:\Programme\".
std::string EntryPrefix(const std::string& dir, const std::string& base);

class InstallWalk {
 public:
  /// Called for each file that goes into the archive, in archive order, with its full path, its
  /// entry name and its listing entry.
  using AddFile = std::function<void(const std::string& path, const std::string& entryName,
                                     const platform::DirectoryEntry& entry)>;

  /// `ownProgramPath`: the running program, left out when a path equals it exactly.
  InstallWalk(platform::FileSystem& fileSystem, std::string ownProgramPath, AddFile addFile);

  /// Walks `dir` (without trailing separator); `base` "" for the start, whose parent then becomes
  /// the base of every entry name. Throws ArchiveError when a folder cannot be listed or a path is
  /// too long for the system.
  void ZipFolder(std::string dir, std::string base);

  /// The sub-folders walked, each after every folder below it.
  const std::vector<WalkedFolder>& Folders() const { return folders_; }

 private:
  /// Hands on the files among `entries`, the listing of `dir` (ending with a separator); true when
  /// `dir` holds anything at all.
  bool ZipFilesOfFolder(const std::string& dir, const std::string& base,
                        const std::vector<platform::DirectoryEntry>& entries);
  std::vector<platform::DirectoryEntry> List(const std::string& dir);

  platform::FileSystem& fileSystem_;
  std::string ownProgramPath_;
  AddFile addFile_;
  std::vector<WalkedFolder> folders_;
};

}  // namespace qnd::dir
