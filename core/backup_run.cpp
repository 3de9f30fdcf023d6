#include "core/backup_run.h"

#include "core/backups.h"
#include "core/result_file.h"
#include "core/status.h"

namespace qnd {
namespace {

struct BackupStep {
  const char* announcement;  ///< log line
  const char* status;        ///< status text
  Status (*backup)(UpdaterContext&);
  const char* done;
};

constexpr BackupStep kBackupSteps[] = {
    {"Sicherung der Formularkataloge ...", "Sicherung der Formularkataloge wird erstellt ...",
     BackupFormKatalog, "Sicherung Formularkataloge - OK"},
    {"Sicherung der Formulierungshilfen wird erstellt ...",
     "Sicherung der Formulierungshilfen wird erstellt ...", BackupFormHilfePfad,
     "Sicherung Formulierungshilfen - OK"},
    {"Sicherung des Fächerkanons wird erstellt ...", "Sicherung des Fächerkanons wird erstellt ...",
     BackupFaecherkanon, "Sicherung Fächerkanon - OK"},
    {"Sicherung der NKK-Dateien wird erstellt ...", "Sicherung der NKK-Dateien wird erstellt ...",
     BackupNKK, "Sicherung NKK-Dateien - OK"},
};

}  // namespace

void RunBackupsAndFinish(UpdaterContext& context) {
  ProgressLog& log = context.log;
  for (const BackupStep& step : kBackupSteps) {
    log.AddLine(step.announcement);
    log.SetStatus(step.status);
    if (step.backup(context) != kStatusOk) log.EndProcess(kExitFailure);
    log.AddOkLine(step.done);
  }
  SchreibeIni(context, kStatusOk);
  log.PumpEvents();
  log.EndProcess(kExitSuccess);
}

}  // namespace qnd
