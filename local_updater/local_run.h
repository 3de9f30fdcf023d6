// The local run that "Weiter" starts: installation and paths, release 8, nobody logged in, the data
// backups and the result file; the first failing step ends the process with exit code 1.
#pragma once

#include "core/status.h"
#include "core/updater_context.h"

namespace qnd::local {

/// InstalledVersion from InstallDir's "Quendra.EXE"; anything but release 8 is refused with a box.
Status CheckQNDExe(UpdaterContext& context);

/// Everything after the window has expanded; ends the process (or raises a Failure that the window
/// shows).
[[noreturn]] void RunLocalUpdate(UpdaterContext& context);

}  // namespace qnd::local
