// The Windows shell's file copy (SHFileOperationW), with its own progress window and error boxes.
// POSIX copies the same files without any window.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qnd::platform {

/// Flags of a shell copy (the Windows FOF_ values).
inline constexpr unsigned kShellNoConfirmation = 0x0010;  ///< replace existing files without asking
inline constexpr unsigned kShellFilesOnly = 0x0080;       ///< a wildcard matches files, not folders
inline constexpr unsigned kShellNoRecursion = 0x1000;     ///< stay in the source folder

/// The longest source pattern or target a shell copy takes, in UTF-16 code units: each travels in a
/// buffer of 257 units that ends with two zeros.
inline constexpr std::size_t kShellPathMax = 255;

/// Results of a shell copy that both bodies give alike. A shell copy's result is a Windows error
/// code on both bodies (POSIX translates its errno), since the backups pass it on as their status.
inline constexpr int kShellPathNotFound =
    3;  ///< ERROR_PATH_NOT_FOUND: the source folder is missing
inline constexpr int kShellAccessDenied = 5;    ///< ERROR_ACCESS_DENIED: a file may not be written
inline constexpr int kShellPathTooLong = 206;   ///< ERROR_FILENAME_EXCED_RANGE: see kShellPathMax
inline constexpr int kShellCancelled = 1223;    ///< ERROR_CANCELLED: the user stopped the copy
inline constexpr int kShellDeviceError = 1117;  ///< ERROR_IO_DEVICE: reading or writing failed

/// What a folder of the system holds; none of them may be an installation directory that is
/// archived and emptied.
enum class SystemFolderKind {
  System,      ///< the system's own files, with everything below (Windows: the Windows folder)
  Programs,    ///< where programs are installed (Windows: each Program Files folder)
  SharedData,  ///< the application data of all users (Windows: ProgramData)
  Profiles,    ///< the users' profiles; each folder directly inside is one (Windows: C:\Users)
  Profile,     ///< the user's own profile, wherever it lies
};

struct SystemFolder {
  SystemFolderKind kind;
  std::string path;  ///< a full path without trailing separator
};

class Shell {
 public:
  virtual ~Shell() = default;

  /// Copies what `sourcePattern` (a folder + "*.*", matching every name as in Windows) names into
  /// the folder `targetFolder`, created when missing, and returns the shell's result code (0 for
  /// success). Both bodies agree on these outcomes: a source pattern or target longer than
  /// kShellPathMax gives kShellPathTooLong and a missing source folder kShellPathNotFound, both
  /// without copying anything; a copy the user stopped in the shell's progress window gives
  /// kShellCancelled (the shell itself reports 0 for it); a folder with nothing to copy gives 0 and
  /// leaves the target as it is. Hidden and read-only files are copied, and existing files in the
  /// target are replaced even when read-only. POSIX reproduces the two uses: with kShellFilesOnly
  /// or kShellNoRecursion only the files directly inside, else also every subfolder with its
  /// contents; it stops at the first failure with the Windows code of its errno.
  virtual int CopyFiles(const std::string& sourcePattern, const std::string& targetFolder,
                        unsigned flags) = 0;

  /// The user's local application-data folder as the shell reports it, without a trailing
  /// separator; "" when it cannot be determined. Windows: CSIDL_LOCAL_APPDATA, not created.
  /// POSIX: $XDG_DATA_HOME, else $HOME/.local/share.
  virtual std::string LocalAppDataFolder() = 0;

  /// The system's folders that no installation directory may be, as far as the system tells them.
  /// Windows: the shell's Windows, Program Files (both), ProgramData and profile folders, the
  /// 64-bit Program Files of a WOW64 process ("ProgramW6432"), and the profile's parent folder.
  /// POSIX: the system's own folders (/usr, /etc, ...), /opt, /var, /home and $HOME.
  virtual std::vector<SystemFolder> SystemFolders() = 0;

  /// The window that owns the shell's progress window and error boxes (an HWND on Windows). Until
  /// the front end sets its window, they have no owner.
  virtual void SetOwnerWindow(void* nativeWindow) = 0;
};

/// The shell of this system.
Shell& SystemShell();

}  // namespace qnd::platform
