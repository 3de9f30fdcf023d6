// QNDUpdater finds the installation through the installer's registration of the product's earlier
// releases, and the product's start file either in the installation directory or, where Windows
// redirected writes to a protected program folder, in the user's virtual store.
#pragma once

#include <array>
#include <string>

#include "core/status.h"
#include "core/updater_context.h"
#include "platform/paths.h"

namespace qnd::local {

/// The installer's product codes of the earlier releases, in the packed form the installer uses in
/// its registration (32 upper-case hexadecimal digits), newest first. The first whose key opens wins.
inline constexpr std::array<const char*, 6> kProductCodes = {
    "8F3A61C2D4E5B7094A1C6E2F9B3D8057",  // release 8.x
    "5B7E2D91A0C34F68B2E1D7A49C6F0318",  // release 8.0
    "C1D9E4A27B3F5068D2A9E1C7B4F36520",  // release 7.x
    "2E6A8F1D4C9B0375E8D1A6C2F9B47013",  // release 7.0
    "A7C3E9152D4B6F80C9E2A1D7B5F38642",  // release 6.x
    "4D8B2F6E1A9C3057B6E4D2A8C1F95730",  // release 6.0
};

/// HKEY_LOCAL_MACHINE\<this> for one product code.
std::string ProductCodeKey(const std::string& productCode);

/// True when the process runs under WOW64; a failing query raises "IsWow64: bad process handle".
bool IsWow64(platform::ProcessInfo& process);

/// Where Windows would keep a start file written to the installation directory, for `installDir`
/// ending with a separator: the local application-data folder with only A to Z lowered (on a file
/// system that finds names without regard to case), a separator added when missing, "VirtualStore",
/// then `installDir` without its drive and its last character, then "<sep>QuendStart.ini".
/// "C:\Users\Anna\AppData\Local" and "C:\Program Files (x86)\Kalvetto\Quendra\" give
/// "c:\users\anna\appdata\local\VirtualStore\Program Files (x86)\Kalvetto\Quendra\QuendStart.ini".
std::string VirtualStoreStartFile(const std::string& localAppData, const std::string& installDir,
                                  char separator = platform::kPathSeparator,
                                  std::size_t drivePrefixLength = platform::kDrivePrefixLength,
                                  bool namesIgnoreCase = platform::kFileNamesIgnoreCase);

/// Sets InstallDir and IniDir, decides UseSubfolder001 and resolves the data paths. A failure has
/// been shown in an error box when a non-zero status is returned.
Status PruefeQNDIni(UpdaterContext& context);

}  // namespace qnd::local
