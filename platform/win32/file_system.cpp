#include "platform/file_system.h"

#include "platform/file_handles.h"
#include "platform/win32/wide.h"

namespace qnd::platform {
namespace {

DWORD AttributesOf(const std::string& path) {
  if (path.empty()) return INVALID_FILE_ATTRIBUTES;
  return ::GetFileAttributesW(win32::Widen(path).c_str());
}

}  // namespace

bool IsFolder(const std::string& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::error_code CreateOneFolder(const std::string& path) {
  if (path.empty()) return win32::LastError(ERROR_PATH_NOT_FOUND);
  if (!::CreateDirectoryW(win32::Widen(path).c_str(), nullptr)) {
    const DWORD error = ::GetLastError();
    if (!(error == ERROR_ALREADY_EXISTS && IsFolder(path))) return win32::LastError(error);
  }
  return {};
}

namespace {

class Win32FileSystem final : public HandleFileSystem {
 public:
  bool FileExists(const std::string& path) override {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  std::error_code CopyFileTo(const std::string& source, const std::string& target) override {
    if (!::CopyFileExW(win32::Widen(source).c_str(), win32::Widen(target).c_str(), nullptr, nullptr,
                       nullptr, 0))
      return win32::LastError();
    return {};
  }

  // NTFS and FAT match names without regard to case themselves.
  std::string ResolveName(const std::string&, const std::string& name) override { return name; }

  std::string TemporaryFolder() override {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) return {};
    return win32::Narrow(std::wstring_view(buffer, length));
  }

  // GetFileAttributesW reports a link itself, not what it points to.
  bool EntryExists(const std::string& path) override {
    return AttributesOf(path) != INVALID_FILE_ATTRIBUTES;
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static Win32FileSystem fileSystem;
  return fileSystem;
}

}  // namespace qnd::platform
