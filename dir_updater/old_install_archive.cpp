#include "dir_updater/old_install_archive.h"

#include "dir_updater/archive_error.h"
#include "dir_updater/install_cleanup.h"
#include "dir_updater/install_zip.h"
#include "platform/paths.h"

namespace qnd::dir {
namespace {

// The guarded part: throws on every failure, so the caller turns each into status 1.
void ArchiveAndEmpty(platform::FileSystem& fileSystem, const std::string& targetDir,
                     const std::string& tempPath, const std::string& ownProgramPath,
                     const ZipOptions& options) {
  if (targetDir.empty()) throw ArchiveError("no installation directory");
  if (tempPath.empty()) throw ArchiveError("no temporary folder");
  const std::string separator(1, platform::kPathSeparator);
  const std::string archive = tempPath + separator + kArchiveName;
  const std::string parkedStartFile = tempPath + separator + kStartFileName;
  const std::string startFile = targetDir + separator + kStartFileName;
  const std::string archiveCopy = targetDir + separator + kArchiveName;

  const ArchiveContents contents = DoZip(fileSystem, targetDir, archive, ownProgramPath, options);

  // Without its parked copy the emptied installation would lose its start file, so a failure here
  // stops before anything is deleted.
  if (fileSystem.FileExists(startFile))
    ThrowIfFailed(fileSystem.CopyFileTo(startFile, parkedStartFile), "parking", startFile);

  // Whatever cannot be deleted stays in place; the archive holds a copy of it.
  DeleteFiles(fileSystem, contents);

  // Also a start file that an earlier run left in the temporary folder. A start file still in the
  // installation was kept because it changed after it was archived, and is newer than the parked
  // one. The installation is emptied by now, so the archive is copied in even when this fails.
  std::error_code restored;
  if (fileSystem.FileExists(parkedStartFile) && !fileSystem.EntryExists(startFile))
    restored = fileSystem.CopyFileTo(parkedStartFile, startFile);

  // Something kept under the archive's name (a newer file, or a link whose target a copy would
  // overwrite) is not replaced.
  if (fileSystem.EntryExists(archiveCopy))
    throw ArchiveError("kept in the installation, not replaced: " + archiveCopy);
  ThrowIfFailed(fileSystem.CopyFileTo(archive, archiveCopy), "copying the archive to", archiveCopy);
  ThrowIfFailed(restored, "restoring", startFile);
}

}  // namespace

std::string TempPath(platform::FileSystem& fileSystem) { return fileSystem.TemporaryFolder(); }

Status SaveQNDInst(UpdaterContext& context, platform::UpdaterWindow& window) {
  return SaveQNDInstWithThreads(context, window, ProcessorCount());
}

Status SaveQNDInstWithThreads(UpdaterContext& context, platform::UpdaterWindow& window,
                              unsigned threads) {
  ZipOptions options;
  options.threads = threads;
  options.progress = [&window](int percent) {
    window.PaintStatusText(std::string(kSavingLine) + " " + std::to_string(percent) + " %");
  };
  window.ShowBusyCursor();
  context.log.PumpEvents();
  platform::FileSystem& fileSystem = *context.platform.fileSystem;
  const std::string tempPath = TempPath(fileSystem);

  Status status = kStatusFailed;
  try {
    ArchiveAndEmpty(fileSystem, context.state.TargetDir, tempPath,
                    context.platform.process->ProgramPath(), options);
    status = kStatusOk;
  } catch (...) {
    // Not reported here: the run logs the failed archive and goes on.
    status = kStatusFailed;
  }

  window.RestoreCursor();
  context.log.PumpEvents();
  return status;
}

}  // namespace qnd::dir
