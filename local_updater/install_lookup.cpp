#include "local_updater/install_lookup.h"

#include <memory>

#include "core/data_paths.h"
#include "core/failure.h"
#include "platform/text.h"

namespace qnd::local {
namespace {

constexpr char kInstallDirError[] =
    "Das Installationsverzeichnis von Quendra konnte nicht ermittelt werden!\n"
    "Das Update wird abgebrochen!";

// The first registration key that opens, or null.
std::unique_ptr<platform::RegistryKey> OpenRegistration(UpdaterContext& context) {
  const std::uint32_t access =
      platform::kKeyRead | (IsWow64(*context.platform.process) ? platform::kKeyWow64_64Key : 0u);
  for (const char* productCode : kProductCodes) {
    std::unique_ptr<platform::RegistryKey> key;
    if (!context.platform.registry->OpenLocalMachineKey(ProductCodeKey(productCode), access, key))
      return key;
  }
  return nullptr;
}

}  // namespace

std::string ProductCodeKey(const std::string& productCode) {
  return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\" +
         productCode + "\\InstallProperties";
}

bool IsWow64(platform::ProcessInfo& process) {
  switch (process.QueryWow64()) {
    case platform::Wow64::Yes:
      return true;
    case platform::Wow64::No:
      return false;
    case platform::Wow64::QueryFailed:
      break;
  }
  throw Failure("IsWow64: bad process handle");
}

std::string VirtualStoreStartFile(const std::string& localAppData, const std::string& installDir,
                                  char separator, std::size_t drivePrefixLength,
                                  bool namesIgnoreCase) {
  std::string store = namesIgnoreCase ? platform::AsciiToLower(localAppData) : localAppData;
  if (store.empty() || store.back() != separator) store += separator;
  store += "VirtualStore";
  // The installation directory without its drive and without its last character (its separator).
  if (installDir.size() > drivePrefixLength + 1)
    store += installDir.substr(drivePrefixLength, installDir.size() - drivePrefixLength - 1);
  return store + separator + kStartFileName;
}

Status PruefeQNDIni(UpdaterContext& context) {
  UpdaterState& state = context.state;
  {
    const std::unique_ptr<platform::RegistryKey> key = OpenRegistration(context);
    if (!key) {
      context.log.ShowError(kInstallDirError);
      return kStatusFailed;
    }
    std::string installLocation;
    switch (key->ReadString("InstallLocation", installLocation)) {
      case platform::ValueRead::Ok:
        break;
      case platform::ValueRead::WrongType:
        throw WrongRegistryTypeFailure("InstallLocation");
      case platform::ValueRead::Missing:
      case platform::ValueRead::Failed:
        installLocation.clear();
        break;
    }
    state.InstallDir = installLocation;
    if (state.InstallDir.empty()) {
      context.log.ShowError(kInstallDirError);
      return kStatusFailed;
    }
  }  // the registry is released here

  const std::string startFile = state.InstallDir + platform::kPathSeparator + kStartFileName;
  StartFileOutcome outcome = ReadIniDirFromStartFile(context, startFile);
  if (outcome == StartFileOutcome::Absent) {
    outcome = ReadIniDirFromStartFile(
        context,
        VirtualStoreStartFile(context.platform.shell->LocalAppDataFolder(), state.InstallDir));
  }
  if (outcome == StartFileOutcome::Failed) return kStatusFailed;
  if (outcome == StartFileOutcome::Absent) {
    const Status status = UseCommonAppDataIniDir(context);
    if (status != kStatusOk) return status;
  }

  state.UseSubfolder001 = context.platform.fileSystem->DirectoryExists(state.IniDir + "001");
  return ResolveDataPaths(context);
}

}  // namespace qnd::local
