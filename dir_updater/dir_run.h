// The directory run that "Weiter" starts after the gate: paths from the target directory, nobody
// logged in, the archive of the old installation, the data backups and the result file. A failed
// archive is only logged; every other failure ends the process with exit code 1.
#pragma once

#include <functional>

#include "core/status.h"
#include "core/updater_context.h"

namespace qnd::dir {

/// InstallDir := TargetDir; IniDir from its start file or the all-users folder; the data paths.
Status PruefeQNDIni(UpdaterContext& context);

/// Everything after the window has expanded; `saveOldInstallation` archives and empties the
/// installation directory (0 for success).
[[noreturn]] void RunDirectoryUpdate(UpdaterContext& context,
                                     const std::function<Status()>& saveOldInstallation);

}  // namespace qnd::dir
