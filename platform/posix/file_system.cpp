// POSIX file system. Only the file system's own answers; names are matched as the file system does.
#include "platform/file_system.h"

#include <sys/stat.h>

namespace qnd::platform {
namespace {

class PosixFileSystem final : public FileSystem {
 public:
  bool FileExists(const std::string& path) override {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
  }
  bool DirectoryExists(const std::string& path) override {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFileSystem fileSystem;
  return fileSystem;
}

}  // namespace qnd::platform
