#include "platform/file_system.h"

#include "platform/win32/wide.h"

namespace qnd::platform {
namespace {

DWORD AttributesOf(const std::string& path) {
  if (path.empty()) return INVALID_FILE_ATTRIBUTES;
  return ::GetFileAttributesW(win32::Widen(path).c_str());
}

class Win32FileSystem final : public FileSystem {
 public:
  bool FileExists(const std::string& path) override {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  bool DirectoryExists(const std::string& path) override {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static Win32FileSystem fileSystem;
  return fileSystem;
}

}  // namespace qnd::platform
