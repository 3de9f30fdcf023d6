// The shell's folder copy through SHFileOperationW, with the shell's own progress window and error
// boxes.
#include "platform/shell.h"

#include "platform/file_system.h"
#include "platform/win32/wide.h"
// After win32.h (through wide.h), which sets the macros the shell header depends on.
#include <shellapi.h>
#include <shlobj.h>

namespace qnd::platform {
namespace {

// A list of names for SHFileOperationW: one name, its zero and the zero that ends the list.
using NameList = wchar_t[kShellPathMax + 2];

// Refuses what does not fit rather than cutting it, which would copy from or to another folder.
bool FillNameList(const std::string& path, NameList& list) {
  const std::wstring wide = win32::Widen(path);
  if (wide.size() > kShellPathMax) return false;
  wide.copy(list, wide.size());  // the rest of the list stays zero
  return true;
}

std::string FolderOfPattern(const std::string& pattern) {
  const std::size_t separator = pattern.find_last_of("\\/");
  return separator == std::string::npos ? "." : pattern.substr(0, separator + 1);
}

// Whether `pattern` matches anything the copy would take; the shell's answer for nothing to copy
// differs between Windows versions, so that case is settled here.
bool HasSomethingToCopy(const std::string& pattern, bool filesOnly) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(win32::Widen(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return ::GetLastError() != ERROR_FILE_NOT_FOUND;
  bool something = false;
  do {
    const std::wstring_view name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    something = !filesOnly || !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  } while (!something && ::FindNextFileW(search, &found));
  ::FindClose(search);
  return something;
}

class Win32Shell final : public Shell {
 public:
  int CopyFiles(const std::string& sourcePattern, const std::string& targetFolder,
                unsigned flags) override {
    NameList from = {};
    NameList to = {};
    if (!FillNameList(sourcePattern, from) || !FillNameList(targetFolder, to))
      return kShellPathTooLong;
    if (!SystemFileSystem().DirectoryExists(FolderOfPattern(sourcePattern)))
      return kShellPathNotFound;
    if (!HasSomethingToCopy(sourcePattern, (flags & kShellFilesOnly) != 0)) return 0;
    // The shell takes a missing target for the name of the copy when the pattern matches one file
    // only (Wine does so), so the folder is made first.
    if (const std::error_code error = SystemFileSystem().CreateDirectories(targetFolder))
      return error.value();

    SHFILEOPSTRUCTW operation{};
    operation.hwnd = owner_;
    operation.wFunc = FO_COPY;
    operation.pFrom = from;
    operation.pTo = to;
    operation.fFlags = static_cast<FILEOP_FLAGS>(flags);
    const int result = ::SHFileOperationW(&operation);
    // The shell reports 0 even when the user stopped the copy in its progress window; a copy
    // that did not finish is no backup.
    if (result == 0 && operation.fAnyOperationsAborted) return kShellCancelled;
    return result;
  }

  std::string LocalAppDataFolder() override { return SpecialFolder(CSIDL_LOCAL_APPDATA); }

  std::vector<SystemFolder> SystemFolders() override {
    std::vector<SystemFolder> folders;
    const auto add = [&folders](SystemFolderKind kind, const std::string& path) {
      if (!path.empty()) folders.push_back({kind, path});
    };
    add(SystemFolderKind::System, SpecialFolder(CSIDL_WINDOWS));
    add(SystemFolderKind::Programs, SpecialFolder(CSIDL_PROGRAM_FILES));
    add(SystemFolderKind::Programs, SpecialFolder(CSIDL_PROGRAM_FILESX86));
    // A WOW64 process's Program Files is the 32-bit one; the other one only its variable tells.
    wchar_t native[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"ProgramW6432", native, MAX_PATH);
    if (length > 0 && length < MAX_PATH) add(SystemFolderKind::Programs, win32::Narrow(native));
    add(SystemFolderKind::SharedData, SpecialFolder(CSIDL_COMMON_APPDATA));
    const std::string profile = SpecialFolder(CSIDL_PROFILE);
    add(SystemFolderKind::Profile, profile);
    const std::size_t separator = profile.find_last_of('\\');
    if (separator != std::string::npos && separator > 2)
      add(SystemFolderKind::Profiles, profile.substr(0, separator));
    return folders;
  }

  void SetOwnerWindow(void* nativeWindow) override { owner_ = static_cast<HWND>(nativeWindow); }

 private:
  // A zero-filled buffer of 260 units, as the shell expects; not created when missing.
  std::string SpecialFolder(int which) const {
    wchar_t folder[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(owner_, folder, which, FALSE)) return {};
    return win32::Narrow(folder);
  }

  HWND owner_ = nullptr;
};

}  // namespace

Shell& SystemShell() {
  static Win32Shell shell;
  return shell;
}

}  // namespace qnd::platform
