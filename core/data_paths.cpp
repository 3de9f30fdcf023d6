#include "core/data_paths.h"

#include "core/failure.h"

namespace qnd {
namespace {

constexpr char kLocalCommonAppDataError[] =
    "Der Ordner \"All Users\\Anwendungsdaten\" konnte nicht ermittelt werden!\n"
    "Das Update wird abgebrochen!";
constexpr char kDirCommonAppDataError[] =
    "Der Standard-Ordner für Anwendungsdaten konnte nicht ermittelt werden!\n"
    "Das Update wird abgebrochen!";
constexpr char kIniDirError[] =
    "Das Quendra-Inidateiverzeichnis konnte nicht ermittelt werden!\nDas Update wird abgebrochen!";
constexpr char kMainIniMissingError[] =
    "Die Ini-Datei \"quendra.ini\" wurde nicht gefunden!\nDas Update wird abgebrochen!";
constexpr char kDataDirError[] =
    "Das Quendra - Datenverzeichnis konnte nicht ermittelt werden!\nDas Update wird abgebrochen!";

// Shows `text`; the directory updater also records the failure in its log.
Status Fail(UpdaterContext& context, const char* text, const char* dirUpdaterLogLine) {
  context.log.ShowError(text);
  if (context.program == Program::DirUpdater) context.log.AddLine(dirUpdaterLogLine);
  return kStatusFailed;
}

// Counts characters, not bytes: a UTF-8 continuation byte starts no character.
std::size_t CharacterCount(const std::string& text) {
  std::size_t count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

}  // namespace

std::string GetFileFolderPathFromRegistry(platform::Registry& registry,
                                          const std::string& valueName) {
  std::unique_ptr<platform::RegistryKey> key;
  if (registry.OpenLocalMachineKey(kShellFoldersKey, platform::kKeyRead, key)) return {};
  std::string value;
  switch (key->ReadString(valueName, value)) {
    case platform::ValueRead::Ok:
      return value;
    case platform::ValueRead::WrongType:
      throw WrongRegistryTypeFailure(valueName);
    case platform::ValueRead::Missing:
    case platform::ValueRead::Failed:
      break;
  }
  return {};
}

Status GetCommAppData(UpdaterContext& context) {
  UpdaterState& state = context.state;
  state.CommonAppDataDir =
      GetFileFolderPathFromRegistry(*context.platform.registry, kCommonAppDataValue);
  if (state.CommonAppDataDir.empty()) {
    return Fail(context,
                context.program == Program::LocalUpdater ? kLocalCommonAppDataError
                                                         : kDirCommonAppDataError,
                "CommonAppData - Fehler");
  }
  if (context.program == Program::DirUpdater &&
      state.CommonAppDataDir.back() == platform::kPathSeparator)
    state.CommonAppDataDir.pop_back();
  return kStatusOk;
}

std::string GetPreviousDir(const std::string& path, char separator) {
  std::string trimmed = path;
  if (!trimmed.empty() && trimmed.back() == separator) trimmed.pop_back();
  if (CharacterCount(trimmed) <= 3) return path;
  // The last character is never the separator we look for; search from the one before it.
  const std::size_t found = trimmed.find_last_of(separator, trimmed.size() - 2);
  if (found == std::string::npos) return path;
  return trimmed.substr(0, found + 1);
}

StartFileOutcome ReadIniDirFromStartFile(UpdaterContext& context, const std::string& startFile) {
  if (!context.platform.fileSystem->FileExists(startFile)) return StartFileOutcome::Absent;
  context.state.IniDir = context.platform.profile->ReadString(startFile, "Setup", "IniPfad", "");
  if (context.state.IniDir.empty()) {
    Fail(context, kIniDirError, "Quendra-Inidateiverzeichnis - Fehler");
    return StartFileOutcome::Failed;
  }
  return StartFileOutcome::Resolved;
}

Status UseCommonAppDataIniDir(UpdaterContext& context) {
  const Status status = GetCommAppData(context);
  if (status != kStatusOk) return status;
  const char sep = platform::kPathSeparator;
  context.state.IniDir = context.state.CommonAppDataDir + sep + "Kalvetto" + sep + "Quendra" + sep;
  return kStatusOk;
}

Status ResolveIniDirFromStartFile(UpdaterContext& context) {
  const std::string startFile =
      context.state.InstallDir + platform::kPathSeparator + kStartFileName;
  switch (ReadIniDirFromStartFile(context, startFile)) {
    case StartFileOutcome::Resolved:
      return kStatusOk;
    case StartFileOutcome::Failed:
      return kStatusFailed;
    case StartFileOutcome::Absent:
      break;
  }
  return UseCommonAppDataIniDir(context);
}

Status ResolveDataPaths(UpdaterContext& context) {
  UpdaterState& state = context.state;
  const char sep = platform::kPathSeparator;
  if (state.UseSubfolder001) state.IniDir += std::string("001") + sep;

  state.MainIniPath = state.IniDir + kMainIniName;
  if (!context.platform.fileSystem->FileExists(state.MainIniPath))
    return Fail(context, kMainIniMissingError, "quendra.ini nicht gefunden - Fehler");

  state.DataDir =
      context.platform.profile->ReadString(state.MainIniPath, "Setup", "Datenverzeichnis", "");
  if (state.DataDir.empty())
    return Fail(context, kDataDirError, "Quendra-Datenverzeichnis - Fehler");

  state.DataRoot = GetPreviousDir(state.DataDir);
  state.FormsDir = state.DataRoot + "Formulare" + sep;
  state.NkkDir = state.DataRoot + "NKK" + sep;
  return kStatusOk;
}

}  // namespace qnd
