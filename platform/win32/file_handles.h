// Folder listings, streamed files and checked removals for the Win32 file system (internal to
// platform/win32).
#pragma once

#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_system.h"

namespace qnd::platform::win32 {

std::error_code ListFolder(const std::string& folder, std::vector<DirectoryEntry>& entries);
std::error_code OpenInputFile(const std::string& path, std::unique_ptr<InputFile>& file);
std::error_code CreateOutputFile(const std::string& path, std::unique_ptr<OutputFile>& file);
std::error_code RemoveFileIfStamped(const std::string& path, const FileStamp& stamp,
                                    const FileSystem::ContentCheck& sameContent);
std::error_code RemoveEmptyFolder(const std::string& path);

}  // namespace qnd::platform::win32
