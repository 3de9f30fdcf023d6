// The end both runs share: the four data backups, each announced in the log and the status bar and
// confirmed when done, then the result file and the end of the process with exit code 0. The first
// failing backup ends the process with exit code 1, its announcement the last line of the log.
#pragma once

#include "core/updater_context.h"

namespace qnd {

[[noreturn]] void RunBackupsAndFinish(UpdaterContext& context);

}  // namespace qnd
