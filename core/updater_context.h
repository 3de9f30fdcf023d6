// What every step works with: the run's state, the progress log, the platform services and which of
// the two programs is running (some texts and log lines differ between them).
#pragma once

#include "core/progress_log.h"
#include "core/updater_state.h"
#include "platform/platform.h"

namespace qnd {

enum class Program {
  LocalUpdater,  ///< QNDUpdater: the installation made by the installer on this PC
  DirUpdater,    ///< QNDUpdaterP2: the installation in a directory named on the command line
};

struct UpdaterContext {
  UpdaterState& state;
  ProgressLog& log;
  platform::Platform platform;
  Program program;
};

}  // namespace qnd
