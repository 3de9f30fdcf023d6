// From a known installation directory to the product's ini folder, main ini, data folder and the
// folders derived from it. The product names its ini folder in the start file of the installation
// ("QuendStart.ini", Setup/IniPfad) and its data folder in the main ini ("quendra.ini",
// Setup/Datenverzeichnis); both values are used as prefixes, so they are expected to end with a
// separator. Every failure has been shown in an error box when a non-zero status is returned.
#pragma once

#include <string>

#include "core/status.h"
#include "core/updater_context.h"
#include "platform/paths.h"

namespace qnd {

inline constexpr char kStartFileName[] = "QuendStart.ini";
inline constexpr char kMainIniName[] = "quendra.ini";
inline constexpr char kShellFoldersKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr char kCommonAppDataValue[] = "Common Appdata";

/// The string value `valueName` of the Shell Folders key, or "" when the key cannot be opened or the
/// value is missing. A value that is no string raises Failure "Ungültiger Datentyp für '<name>'".
std::string GetFileFolderPathFromRegistry(platform::Registry& registry, const std::string& valueName);

/// Sets CommonAppDataDir from the registry; the directory updater drops one trailing separator.
Status GetCommAppData(UpdaterContext& context);

/// The parent directory of `path`, ending with `separator`; the input itself when `path` (without
/// one trailing separator) has three characters or fewer or holds no other separator.
/// "D:\Daten\Quendra\Daten\" gives "D:\Daten\Quendra\", "D:\Daten" gives "D:\", "D:\" stays "D:\".
std::string GetPreviousDir(const std::string& path, char separator = platform::kPathSeparator);

enum class StartFileOutcome {
  Absent,    ///< no such file: the caller goes on to the next place
  Resolved,  ///< IniDir set from its IniPfad
  Failed,    ///< the file exists but names no ini folder (error shown)
};

/// Reads IniDir from the start file `startFile` if that file exists.
StartFileOutcome ReadIniDirFromStartFile(UpdaterContext& context, const std::string& startFile);

/// IniDir := the all-users application-data folder + "\Kalvetto\Quendra\".
Status UseCommonAppDataIniDir(UpdaterContext& context);

/// IniDir from InstallDir's start file, else from the all-users application-data folder.
Status ResolveIniDirFromStartFile(UpdaterContext& context);

/// MainIniPath, DataDir, DataRoot, FormsDir and NkkDir from IniDir and UseSubfolder001.
Status ResolveDataPaths(UpdaterContext& context);

}  // namespace qnd
