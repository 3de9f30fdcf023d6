// The handle-level half of the system's FileSystem: folder listings, streamed files and checked
// removals and renames. Each body defines these in its own file_handles.cpp (win32/, posix/), and
// each body's file system derives from HandleFileSystem, which hands these calls and the creation
// of folders to them; only the bodies' file systems include this header. Results as stated in
// file_system.h.
#pragma once

#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "platform/create_directories.h"
#include "platform/file_system.h"

namespace qnd::platform::handles {

/// FileSystem::ListFolder.
std::error_code ListFolder(const std::string& folder, std::vector<DirectoryEntry>& entries);
/// FileSystem::OpenForReading.
std::error_code OpenInputFile(const std::string& path, std::unique_ptr<InputFile>& file);
/// FileSystem::CreateForWriting.
std::error_code CreateOutputFile(const std::string& path, std::unique_ptr<OutputFile>& file);
/// FileSystem::RemoveFileIfUnchanged.
std::error_code RemoveFileIfStamped(const std::string& path, const FileStamp& stamp,
                                    const FileSystem::ContentCheck& sameContent);
/// FileSystem::RenameFile.
std::error_code RenameFile(const std::string& from, const std::string& to);
/// FileSystem::RemoveEmptyFolder.
std::error_code RemoveEmptyFolder(const std::string& path);

}  // namespace qnd::platform::handles

namespace qnd::platform {

/// The part of the system's file system that is the same for both bodies.
class HandleFileSystem : public FileSystem {
 public:
  bool DirectoryExists(const std::string& path) override { return IsFolder(path); }
  std::error_code CreateDirectories(const std::string& path) override {
    return CreateFolderChain(path);
  }
  std::error_code ListFolder(const std::string& folder,
                             std::vector<DirectoryEntry>& entries) override {
    return handles::ListFolder(folder, entries);
  }
  std::error_code OpenForReading(const std::string& path,
                                 std::unique_ptr<InputFile>& file) override {
    return handles::OpenInputFile(path, file);
  }
  std::error_code CreateForWriting(const std::string& path,
                                   std::unique_ptr<OutputFile>& file) override {
    return handles::CreateOutputFile(path, file);
  }
  std::error_code RemoveFileIfUnchanged(const std::string& path, const FileStamp& stamp,
                                        const ContentCheck& sameContent) override {
    return handles::RemoveFileIfStamped(path, stamp, sameContent);
  }
  std::error_code RenameFile(const std::string& from, const std::string& to) override {
    return handles::RenameFile(from, to);
  }
  std::error_code RemoveEmptyFolder(const std::string& path) override {
    return handles::RemoveEmptyFolder(path);
  }
};

}  // namespace qnd::platform
