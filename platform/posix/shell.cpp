// The shell's folder copy on POSIX: the same files as Windows' SHFileOperationW, without windows.
#include "platform/shell.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/file_system.h"
#include "platform/posix/file_io.h"
#include "platform/text.h"

namespace qnd::platform {
namespace {

// The Windows error code that SHFileOperationW gives for what failed with `error`.
int ShellResultOf(int error) {
  switch (error) {
    case 0:
      return 0;
    case ENOENT:
      return 2;  // ERROR_FILE_NOT_FOUND
    case ENOTDIR:
      return kShellPathNotFound;
    case EMFILE:
    case ENFILE:
      return 4;  // ERROR_TOO_MANY_OPEN_FILES
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return kShellAccessDenied;
    case ENOMEM:
      return 8;  // ERROR_NOT_ENOUGH_MEMORY
    case ENOSPC:
    case EDQUOT:
      return 112;  // ERROR_DISK_FULL
    case EEXIST:
      return 183;  // ERROR_ALREADY_EXISTS
    case ENAMETOOLONG:
      return kShellPathTooLong;
    default:
      return kShellDeviceError;
  }
}

struct Entry {
  std::string name;
  bool isFolder;
};

// Regular files and folders directly inside `folder`, hidden ones included; errno when unreadable.
int ListFolder(const std::string& folder, std::vector<Entry>& entries) {
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return errno;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info {};
    if (::stat((folder + '/' + name).c_str(), &info) != 0) continue;
    if (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode))
      entries.push_back({name, S_ISDIR(info.st_mode)});
  }
  ::closedir(listing);
  // A fixed order, so a failure always stops at the same file.
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return CompareAsNtfs(a.name, b.name) < 0; });
  return 0;
}

// The errno of the first failure; 0 when everything was copied.
int CopyFolder(const std::string& source, const std::string& target, bool withSubfolders) {
  std::vector<Entry> entries;
  if (const int error = ListFolder(source, entries)) return error;
  if (!withSubfolders) std::erase_if(entries, [](const Entry& e) { return e.isFolder; });
  if (entries.empty()) return 0;

  FileSystem& fileSystem = SystemFileSystem();
  if (const std::error_code error = fileSystem.CreateDirectories(target)) return error.value();
  for (const Entry& entry : entries) {
    // An existing file or folder of the same name in another case is the one Windows would use.
    const std::string to = target + '/' + fileSystem.ResolveName(target + '/', entry.name);
    const std::string from = source + '/' + entry.name;
    const int result =
        entry.isFolder ? CopyFolder(from, to, true) : posix::CopyFileReplacing(from, to).value();
    if (result != 0) return result;
  }
  return 0;
}

std::string StripTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

class PosixShell final : public Shell {
 public:
  int CopyFiles(const std::string& sourcePattern, const std::string& targetFolder,
                unsigned flags) override {
    if (Utf8ToUtf16(sourcePattern).size() > kShellPathMax ||
        Utf8ToUtf16(targetFolder).size() > kShellPathMax)
      return kShellPathTooLong;
    // The pattern's last component is "*.*"; the folder before it is what is copied.
    const std::size_t slash = sourcePattern.find_last_of('/');
    const std::string source = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : sourcePattern.substr(0, slash);
    if (!SystemFileSystem().DirectoryExists(source)) return kShellPathNotFound;
    const bool withSubfolders = (flags & (kShellFilesOnly | kShellNoRecursion)) == 0;
    return ShellResultOf(CopyFolder(source, targetFolder, withSubfolders));
  }

  std::string LocalAppDataFolder() override {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome) return StripTrailingSlash(dataHome);
    const char* home = std::getenv("HOME");
    if (home && *home) return StripTrailingSlash(std::string(home) + "/.local/share");
    return {};
  }

  // Linux's counterparts of the Windows folders (platform/posix/MAPPING.md).
  std::vector<SystemFolder> SystemFolders() override {
    std::vector<SystemFolder> folders;
    for (const char* system :
         {"/bin", "/boot", "/dev", "/etc", "/lib", "/proc", "/sbin", "/sys", "/usr"})
      folders.push_back({SystemFolderKind::System, system});
    folders.push_back({SystemFolderKind::Programs, "/opt"});
    folders.push_back({SystemFolderKind::SharedData, "/var"});
    folders.push_back({SystemFolderKind::SharedData, "/var/lib"});
    folders.push_back({SystemFolderKind::Profiles, "/home"});
    const char* home = std::getenv("HOME");
    if (home && *home) folders.push_back({SystemFolderKind::Profile, StripTrailingSlash(home)});
    return folders;
  }

  void SetOwnerWindow(void*) override {}
};

}  // namespace

Shell& SystemShell() {
  static PosixShell shell;
  return shell;
}

}  // namespace qnd::platform
