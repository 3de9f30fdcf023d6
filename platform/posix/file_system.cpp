// POSIX file system. Only the file system's own answers; names are matched as the file system does,
// except where ResolveName is asked.
#include "platform/file_system.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/file_handles.h"
#include "platform/posix/file_descriptor.h"
#include "platform/posix/file_io.h"
#include "platform/text.h"

namespace qnd::platform {

bool IsFolder(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::error_code CreateOneFolder(const std::string& path) {
  if (path.empty()) return std::make_error_code(std::errc::no_such_file_or_directory);
  if (::mkdir(path.c_str(), 0777) != 0 && !(errno == EEXIST && IsFolder(path)))
    return posix::LastError();
  return {};
}

namespace {

class PosixFileSystem final : public HandleFileSystem {
 public:
  bool FileExists(const std::string& path) override {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
  }

  std::error_code CopyFileTo(const std::string& source, const std::string& target) override {
    // Windows refuses to replace a read-only file; root would not be stopped by the mode bits.
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && !S_ISDIR(existing.st_mode) &&
        !(existing.st_mode & S_IWUSR))
      return std::make_error_code(std::errc::permission_denied);
    return posix::CopyFileReplacing(source, target);
  }

  std::string ResolveName(const std::string& folder, const std::string& name) override {
    const std::string prefix =
        folder.empty() ? std::string() : (folder.back() == '/' ? folder : folder + '/');
    struct stat info {};
    if (::lstat((prefix + name).c_str(), &info) == 0) return name;
    DIR* listing = ::opendir(prefix.empty() ? "." : prefix.c_str());
    if (listing == nullptr) return name;
    std::string found;
    while (const dirent* entry = ::readdir(listing)) {
      const std::string candidate = entry->d_name;
      if (EqualsIgnoreCase(candidate, name) && (found.empty() || candidate < found))
        found = candidate;
    }
    ::closedir(listing);
    return found.empty() ? name : found;
  }

  std::string TemporaryFolder() override {
    const char* variable = std::getenv("TMPDIR");
    std::string folder = variable != nullptr && *variable != '\0' ? variable : "/tmp";
    if (folder.back() != '/') folder += '/';
    return folder;
  }

  bool EntryExists(const std::string& path) override {
    struct stat info {};
    return !path.empty() && ::lstat(path.c_str(), &info) == 0;
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFileSystem fileSystem;
  return fileSystem;
}

}  // namespace qnd::platform
