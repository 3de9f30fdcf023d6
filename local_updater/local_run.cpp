#include "local_updater/local_run.h"

#include "core/backup_run.h"
#include "core/user_check.h"
#include "core/version_probe.h"
#include "local_updater/install_lookup.h"

namespace qnd::local {

Status CheckQNDExe(UpdaterContext& context) {
  // Whether the file exists is not asked first: a missing one reads as "0.0.0.0".
  context.state.InstalledVersion =
      GetFileVersionsString_2(context.state.InstallDir + platform::kPathSeparator + "Quendra.EXE");
  if (context.state.InstalledVersion.starts_with('8')) return kStatusOk;
  context.log.ShowError(
      "Für ein Update muss die Version 8 installiert sein!\n"
      "Bitte führen Sie zuerst ein Update auf diese Version durch!\n"
      "Dieses Update wird abgebrochen!");
  return kStatusFailed;
}

void RunLocalUpdate(UpdaterContext& context) {
  ProgressLog& log = context.log;
  if (PruefeQNDIni(context) != kStatusOk) log.EndProcess(kExitFailure);
  log.AddLine("Quendra-Datenpfad - OK");
  log.PumpEvents();

  if (CheckQNDExe(context) != kStatusOk) log.EndProcess(kExitFailure);
  log.AddLine("Quendra-Version - OK");
  log.PumpEvents();

  if (PruefeQNDUser(context) != kStatusOk) log.EndProcess(kExitFailure);
  log.AddOkLine("Benutzeranzahl - OK");

  RunBackupsAndFinish(context);
}

}  // namespace qnd::local
