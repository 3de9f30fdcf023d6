// SaveQNDInst of QNDUpdaterP2: packs the old installation into "qndaltinst.zip" in the temporary
// folder, empties the installation directory of what the archive holds, and puts the start file
// and a copy of the archive back into it. Nothing is deleted before that copy stands inside the
// installation, on stable storage, read back and verified entry by entry; so at every moment each
// file is in place or inside a verified archive in the installation, and a second run after an
// interrupted one archives that archive with the rest. Every failure on the way is caught here and
// ends the step with status 1.
#pragma once

#include <string>
#include <vector>

#include "core/status.h"
#include "core/updater_context.h"
#include "dir_updater/install_cleanup.h"
#include "dir_updater/step_progress.h"
#include "platform/file_system.h"
#include "platform/ui.h"

namespace qnd::dir {

inline constexpr char kArchiveName[] = "qndaltinst.zip";
inline constexpr char kStartFileName[] = "QuendStart.ini";
/// The log line before the archive step; while the step runs the status bar shows it with how far
/// the step is: "... 42 %".
inline constexpr char kSavingLine[] = "Die vorherige Quendra Installation wird gesichert ...";

/// Archives and empties TargetDir (without trailing separator) under the busy cursor of `window`,
/// compressing on one thread per processor core; the status bar shows how far the step is, painted
/// at once without handling any input.
/// The product's data folders inside the installation (IniDir, DataDir, FormsDir, NkkDir and the
/// formulation aids, resolved before) are archived but stay.
/// 0: the archive is complete and its copy and the start file are in the emptied directory (what
/// the archive does not hold, or what changed after it was archived, stays; see install_cleanup.h).
/// 1: something failed; when it failed before the deletion (the archive, its verified copy, or
/// parking the start file), the installation directory is as it was. The archive and the parked
/// start file stay in the temporary folder. Shows no box and logs nothing itself.
Status SaveQNDInst(UpdaterContext& context, platform::UpdaterWindow& window);

/// Where the status bar stands when each stage of the step has ended, the deletion ending at 100:
/// the shares follow the time each stage took on trees of large and of many small files.
inline constexpr int kArchivedAt = 65;
inline constexpr int kCopiedAt = 70;
inline constexpr int kVerifiedAt = 80;

/// The step itself, without its window: archives and empties `targetDir` (without trailing
/// separator) as SaveQNDInst does, with the archive in `tempPath` (TempPath), leaving out the
/// program at `ownProgramPath` and keeping `keptFolders`' files. Throws on every failure.
/// `report` gets how far the whole step is in percent: archiving, the copy, its verification and
/// the deletion, each by its bytes, from 0 to 100.
void ArchiveAndEmpty(platform::FileSystem& fileSystem, const std::string& targetDir,
                     const std::string& tempPath, const std::string& ownProgramPath,
                     unsigned threads, const std::vector<KeptFolder>& keptFolders,
                     const StepProgress::Report& report);

/// SaveQNDInst with `threads` compressing.
Status SaveQNDInstWithThreads(UpdaterContext& context, platform::UpdaterWindow& window,
                              unsigned threads);

/// The temporary folder as the platform reports it, ending with a separator. The archive's path
/// appends "\qndaltinst.zip" to it, two separators in a row, which every platform accepts.
std::string TempPath(platform::FileSystem& fileSystem);

}  // namespace qnd::dir
