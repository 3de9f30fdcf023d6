#include "dir_updater/version_gate.h"

#include "core/status.h"
#include "core/version_probe.h"
#include "dir_updater/system_folder_refusal.h"
#include "dir_updater/target_dir.h"

namespace qnd::dir {
namespace {

constexpr char kProgramName[] = "Quendra.EXE";

}  // namespace

VersionClass CheckQNDExe(UpdaterContext& context) {
  UpdaterState& state = context.state;
  state.UseSubfolder001 = false;
  const std::string folder = state.TargetDir + platform::kPathSeparator;
  const std::string program =
      folder + context.platform.fileSystem->ResolveName(folder, kProgramName);
  if (!context.platform.fileSystem->FileExists(program)) return VersionClass::NoProgram;

  state.InstalledVersion = GetFileVersionsString_2(program);
  switch (state.InstalledVersion.front()) {
    case '6':
      return VersionClass::Release6;
    case '7':
      return VersionClass::Release7;
    case '8':
      state.UseSubfolder001 = true;
      return VersionClass::Release8;
    case '9':
      context.log.ShowError(
          "Im angegebenen Verzeichnis existiert bereits ein Quendra der Version 9!\n"
          "Das Update wird abgebrochen!");
      return VersionClass::Refused;
    default:
      context.log.ShowError(
          "Im angegebenen Verzeichnis existiert eine unbekannte Quendra-Version!\n"
          "Bitte entfernen Sie zuerst diese Version!\nDas Update wird abgebrochen!");
      return VersionClass::Refused;
  }
}

void RunVersionGate(UpdaterContext& context) {
  ProgressLog& log = context.log;
  const UpdaterState& state = context.state;
  switch (CheckQNDExe(context)) {
    case VersionClass::NoProgram:
      log.EndProcess(kExitSuccess);
    case VersionClass::Refused:
      log.EndProcess(kExitFailure);
    case VersionClass::Release6:
    case VersionClass::Release7:
    case VersionClass::Release8:
      break;
  }
  if (!state.InstalledVersion.starts_with('8')) {
    log.ShowError("Im angegebenen Verzeichnis wurde eine NICHT updatefähige Quendra - Version " +
                  state.InstalledVersion +
                  " gefunden,\ndie nicht über diesen PC installiert wurde.\n"
                  "Dieses Update wird abgebrochen!");
    log.EndProcess(kExitFailure);
  }
  // Archiving and emptying a drive's root would take the whole drive with it.
  if (state.TargetDir.empty()) {
    log.ShowError("Es wurde kein Quendra-Verzeichnis angegeben.\nDas Update wird abgebrochen!");
    log.EndProcess(kExitFailure);
  }
  if (IsEmptyOrRoot(state.TargetDir)) {
    log.ShowError("Das angegebene Verzeichnis " + state.TargetDir +
                  " ist das Stammverzeichnis eines Laufwerks.\n"
                  "Eine Quendra-Installation dort kann nicht aktualisiert werden.\n"
                  "Das Update wird abgebrochen!");
    log.EndProcess(kExitFailure);
  }
  // Nor may it be one of the system's own folders, with the system, every program or the users'
  // data in it.
  std::vector<platform::SystemFolder> folders = context.platform.shell->SystemFolders();
  for (platform::SystemFolder& folder : folders) folder.path = CanonicalTargetDir(folder.path);
  if (const std::optional<std::string> refusal = SystemFolderRefusal(state.TargetDir, folders)) {
    log.ShowError(*refusal);
    log.EndProcess(kExitFailure);
  }
  if (!log.Confirm("Im angegebenen Verzeichnis wurde eine updatefähige Quendra-Version gefunden,\n"
                   "die nicht über diesen PC installiert wurde.\n"
                   "Soll die Update-Installation fortgestzt werden?"))
    log.EndProcess(kExitFailure);
}

}  // namespace qnd::dir
