#include "dir_updater/dir_run.h"

#include "core/backup_run.h"
#include "core/data_paths.h"
#include "core/user_check.h"
#include "dir_updater/old_install_archive.h"

namespace qnd::dir {

Status PruefeQNDIni(UpdaterContext& context) {
  context.state.InstallDir = context.state.TargetDir;
  const Status status = ResolveIniDirFromStartFile(context);
  if (status != kStatusOk) return status;
  return ResolveDataPaths(context);
}

void RunDirectoryUpdate(UpdaterContext& context,
                        const std::function<Status()>& saveOldInstallation) {
  ProgressLog& log = context.log;
  if (PruefeQNDIni(context) != kStatusOk) log.EndProcess(kExitFailure);
  if (PruefeQNDUser(context) != kStatusOk) log.EndProcess(kExitFailure);
  log.AddOkLine("Benutzeranzahl - OK");

  log.AddLine(kSavingLine);
  const Status archived = saveOldInstallation();
  log.AddLine(archived != kStatusOk ? "Fehler bei der Sicherung des Alt-Programms"
                                    : "Quendra Sicherung - OK");
  log.PumpEvents();
  log.Pause(kOkLinePauseMilliseconds);

  RunBackupsAndFinish(context);
}

}  // namespace qnd::dir
