#include "tests/gui/win32_drive_letter.h"

#include <cstring>
#include <vector>

#include "platform/win32/wide.h"
// After win32.h (through wide.h), which sets the macros it depends on.
#include <winioctl.h>

namespace qnd::test {
namespace {

// Wine's own extension of the mount manager (its include/ddk/mountmgr.h): defines or, without a
// mount point, removes the drive `letter` as a link to a Unix folder.
constexpr DWORD kDefineUnixDrive =
    CTL_CODE(static_cast<DWORD>('m'), 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

struct UnixDrive {
  ULONG size;
  ULONG type;
  ULONG fsType;
  DWORD serial;
  ULONGLONG unixDevice;
  WCHAR letter;
  USHORT mountPointOffset;
  USHORT deviceOffset;
  USHORT labelOffset;
};

// The Unix path of `folder` when this runs under Wine, else empty.
std::string UnixPath(const std::string& folder) {
  using UnixNameFunction = char*(CDECL*)(const WCHAR*);
  const HMODULE kernel = ::GetModuleHandleW(L"kernel32");
  const auto unixName = kernel ? reinterpret_cast<UnixNameFunction>(reinterpret_cast<void*>(
                                     ::GetProcAddress(kernel, "wine_get_unix_file_name")))
                               : nullptr;
  if (!unixName) return {};
  char* translated = unixName(platform::win32::Widen(folder).c_str());
  if (!translated) return {};
  std::string path(translated);
  ::HeapFree(::GetProcessHeap(), 0, translated);
  return path;
}

// `unixPath` empty removes the drive.
bool DefineWineDrive(char letter, const std::string& unixPath) {
  std::vector<char> buffer(sizeof(UnixDrive) + unixPath.size() + 1, '\0');
  UnixDrive drive{};
  drive.size = static_cast<ULONG>(buffer.size());
  drive.letter = static_cast<WCHAR>(letter - 'A' + 'a');
  drive.type = unixPath.empty() ? DRIVE_NO_ROOT_DIR : DRIVE_FIXED;
  if (!unixPath.empty()) drive.mountPointOffset = sizeof(UnixDrive);
  std::memcpy(buffer.data(), &drive, sizeof drive);
  std::memcpy(buffer.data() + sizeof drive, unixPath.c_str(), unixPath.size() + 1);

  const HANDLE manager =
      ::CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (manager == INVALID_HANDLE_VALUE) return false;
  const BOOL done =
      ::DeviceIoControl(manager, kDefineUnixDrive, buffer.data(), static_cast<DWORD>(buffer.size()),
                        nullptr, 0, nullptr, nullptr);
  ::CloseHandle(manager);
  return done != FALSE;
}

std::wstring DeviceName(char letter) { return {static_cast<wchar_t>(letter), L':'}; }

}  // namespace

ScopedDriveLetter::ScopedDriveLetter(const std::string& folder) {
  const DWORD used = ::GetLogicalDrives();
  char letter = 'Y';
  while (letter >= 'D' && (used & (1u << (letter - 'A')))) --letter;
  if (letter < 'D') return;

  const std::string unixPath = UnixPath(folder);
  throughWine_ = !unixPath.empty();
  const bool mapped = throughWine_
                          ? DefineWineDrive(letter, unixPath)
                          : ::DefineDosDeviceW(0, DeviceName(letter).c_str(),
                                               platform::win32::Widen(folder).c_str()) != FALSE;
  if (mapped) letter_ = letter;
}

ScopedDriveLetter::~ScopedDriveLetter() {
  if (!letter_) return;
  if (throughWine_) {
    DefineWineDrive(letter_, "");
  } else {
    ::DefineDosDeviceW(DDD_REMOVE_DEFINITION, DeviceName(letter_).c_str(), nullptr);
  }
}

std::string ScopedDriveLetter::Root() const {
  return letter_ ? std::string{letter_, ':', '\\'} : std::string();
}

}  // namespace qnd::test
