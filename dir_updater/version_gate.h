// QNDUpdaterP2 decides before its window appears whether there is anything to update in the target
// directory, whether the update is allowed (release 8 only), and whether the user wants it.
#pragma once

#include "core/updater_context.h"

namespace qnd::dir {

enum class VersionClass {
  NoProgram = 0,  ///< no product executable in the directory
  Refused = 1,    ///< refused; the message has been shown
  Release6 = 2,
  Release7 = 3,
  Release8 = 4,
};

/// Reads the version of TargetDir's "Quendra.EXE" into InstalledVersion; sets UseSubfolder001
/// exactly for release 8, whose ini files lie in the "001" subfolder.
VersionClass CheckQNDExe(UpdaterContext& context);

/// The gate of FormShow: ends the process with 0 when there is nothing to update, with 1 when the
/// update is refused or not confirmed; returns only after a confirmed release 8.
void RunVersionGate(UpdaterContext& context);

}  // namespace qnd::dir
