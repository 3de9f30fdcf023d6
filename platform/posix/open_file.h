// Streamed files and checked removals for the POSIX file system (internal to platform/posix).
#pragma once

#include <memory>
#include <string>
#include <system_error>

#include "platform/file_system.h"

namespace qnd::platform::posix {

/// FileSystem::OpenForReading.
std::error_code OpenInputFile(const std::string& path, std::unique_ptr<InputFile>& file);

/// FileSystem::CreateForWriting.
std::error_code CreateOutputFile(const std::string& path, std::unique_ptr<OutputFile>& file);

/// FileSystem::RemoveFileIfUnchanged.
std::error_code RemoveFileIfStamped(const std::string& path, const FileStamp& stamp,
                                    const FileSystem::ContentCheck& sameContent);

/// FileSystem::RenameFile.
std::error_code RenameFile(const std::string& from, const std::string& to);

}  // namespace qnd::platform::posix
