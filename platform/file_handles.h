// The handle-level half of the system's FileSystem: folder listings, streamed files and checked
// removals and renames. Each body defines these in its own file_handles.cpp (win32/, posix/); only
// the bodies' file systems include this header. Results follow the contract of file_system.h.
#pragma once

#include <memory>
#include <string>
#include <system_error>
#include <vector>

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
