#include "dir_updater/old_install_archive.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "core/backups.h"
#include "dir_updater/archive_check.h"
#include "dir_updater/archive_error.h"
#include "dir_updater/folder_paths.h"
#include "dir_updater/install_cleanup.h"
#include "dir_updater/install_zip.h"
#include "dir_updater/target_dir.h"
#include "platform/paths.h"

namespace qnd::dir {
namespace {

// The archive while it is written, and its copy in the installation until it is verified and the
// installation emptied: names of their own, so an earlier run's archive stays until a new one is
// complete.
constexpr char kNewArchiveBase[] = "qndaltinst.neu";
constexpr char kNewArchiveExtension[] = ".zip";

// Deleting a file mostly waits for the file system (its journal, a virus scanner's hook), so more
// deletions run at once than there are cores.
constexpr unsigned kDeletingThreads = 8;

// `folder` + base + extension, or with "-2", "-3", ... before the extension: the first name that
// nothing in `folder` has.
std::string FreeName(platform::FileSystem& fileSystem, const std::string& folder) {
  for (int number = 1; number <= 1000; ++number) {
    std::string path = folder;
    path += kNewArchiveBase;
    if (number > 1) {
      const std::string suffix = std::to_string(number);
      path += '-';
      path.append(suffix);
    }
    path += kNewArchiveExtension;
    if (!fileSystem.EntryExists(path)) return path;
  }
  throw ArchiveError("no free name for the archive's copy in " + folder);
}

// Copies `source` to the new file `target` and puts it on stable storage; `created` tells whether
// `target` came to exist. The copy is the progress's stage, counted by the bytes written.
void CopyAndFlush(platform::FileSystem& fileSystem, const std::string& source,
                  const std::string& target, bool& created, StepProgress& progress) {
  std::unique_ptr<platform::InputFile> in;
  ThrowIfFailed(fileSystem.OpenForReading(source, in), "opening", source);
  platform::FileStamp stamp;
  ThrowIfFailed(in->Stamp(stamp), "reading the stamp of", source);
  progress.SetTotal(stamp.size);
  std::unique_ptr<platform::OutputFile> out;
  ThrowIfFailed(fileSystem.CreateForWriting(target, out), "creating", target);
  created = true;
  std::string buffer(1 << 20, '\0');
  for (;;) {
    std::size_t got = 0;
    ThrowIfFailed(in->Read(buffer.data(), buffer.size(), got), "reading", source);
    if (got == 0) break;
    ThrowIfFailed(out->Write(buffer.data(), got), "writing", target);
    progress.Add(got);
  }
  ThrowIfFailed(out->Flush(), "flushing", target);
  ThrowIfFailed(out->Close(), "closing", target);
}

// Removes a file this step made under a name nothing else had; a failure leaves it.
void RemoveOwnFile(platform::FileSystem& fileSystem, const std::string& path) {
  platform::FileStamp stamp;
  {
    std::unique_ptr<platform::InputFile> file;
    if (fileSystem.OpenForReading(path, file) || file->Stamp(stamp)) return;
  }
  fileSystem.RemoveFileIfUnchanged(path, stamp, [](platform::InputFile&) { return true; });
}

// The product's data folders inside the installation: the backups after the archive step need
// them where they are. One that is the installation directory itself keeps only its own files.
std::vector<KeptFolder> DataFoldersInside(const UpdaterState& state) {
  std::vector<KeptFolder> kept;
  if (state.TargetDir.empty()) return kept;
  for (const std::string& folder :
       {state.IniDir, state.DataDir, state.FormsDir, state.NkkDir,
        state.DataRoot.empty() ? std::string() : state.DataRoot + kFormulationAidsFolder}) {
    if (folder.empty()) continue;
    const std::string full = CanonicalTargetDir(folder);
    if (SameFolder(full, state.TargetDir)) {
      kept.push_back({full, false});
    } else if (WithinFolder(full, state.TargetDir)) {
      kept.push_back({full, true});
    }
  }
  return kept;
}

}  // namespace

// At every moment each file of the installation is still in place or inside a verified archive
// inside the installation itself: a run stopped half-way leaves that archive there, and the next
// run archives it with the rest.
void ArchiveAndEmpty(platform::FileSystem& fileSystem, const std::string& targetDir,
                     const std::string& tempPath, const std::string& ownProgramPath,
                     unsigned threads, const std::vector<KeptFolder>& keptFolders,
                     const StepProgress::Report& report) {
  if (targetDir.empty()) throw ArchiveError("no installation directory");
  if (tempPath.empty()) throw ArchiveError("no temporary folder");
  const std::string separator(1, platform::kPathSeparator);
  const std::string archive = tempPath + separator + kArchiveName;
  const std::string newArchive = tempPath + separator + kNewArchiveBase + kNewArchiveExtension;
  const std::string parkedStartFile = tempPath + separator + kStartFileName;
  const std::string startFile = targetDir + separator + kStartFileName;
  const std::string archiveCopy = targetDir + separator + kArchiveName;

  StepProgress progress(report);
  ZipOptions options;
  options.threads = threads;
  options.progress = &progress;
  progress.BeginStage(kArchivedAt);
  const ArchiveContents contents =
      DoZip(fileSystem, targetDir, newArchive, ownProgramPath, options);
  ThrowIfFailed(fileSystem.RenameFile(newArchive, archive), "renaming", newArchive);

  // The copy that stands for the installation once it is emptied, read back from disk first. Up
  // to the deletion a failure leaves the installation as it was, without the copy.
  const std::string copy = FreeName(fileSystem, targetDir + separator);
  bool copyCreated = false;
  try {
    progress.BeginStage(kCopiedAt);
    CopyAndFlush(fileSystem, archive, copy, copyCreated, progress);
    progress.EndStage();
    progress.BeginStage(kVerifiedAt, progress.StageTotal());
    VerifyArchive(fileSystem, copy, contents.Entries(), &progress);
    progress.EndStage();
    // Without its parked copy the emptied installation would lose its start file.
    if (fileSystem.FileExists(startFile))
      ThrowIfFailed(fileSystem.CopyFileTo(startFile, parkedStartFile), "parking", startFile);
  } catch (...) {
    if (copyCreated) RemoveOwnFile(fileSystem, copy);
    throw;
  }

  // Whatever cannot be deleted stays in place; the archive holds a copy of it.
  std::uint64_t archivedBytes = 0;
  for (const ArchivedFile& file : contents.files) archivedBytes += file.archived.size;
  progress.BeginStage(100, archivedBytes);
  DeleteFiles(fileSystem, contents, keptFolders, &progress, kDeletingThreads);
  progress.EndStage();

  // Also a start file that an earlier run left in the temporary folder. A start file still in the
  // installation was kept because it changed after it was archived, and is newer than the parked
  // one. The archive's copy gets its name even when this fails.
  std::error_code restored;
  if (fileSystem.FileExists(parkedStartFile) && !fileSystem.EntryExists(startFile))
    restored = fileSystem.CopyFileTo(parkedStartFile, startFile);

  // Something kept under the archive's name (a newer file, or a link) is not replaced; the copy
  // then stays under its own name.
  if (fileSystem.EntryExists(archiveCopy))
    throw ArchiveError("kept in the installation, not replaced: " + archiveCopy);
  ThrowIfFailed(fileSystem.RenameFile(copy, archiveCopy), "renaming", copy);
  ThrowIfFailed(restored, "restoring", startFile);
}

std::string TempPath(platform::FileSystem& fileSystem) { return fileSystem.TemporaryFolder(); }

Status SaveQNDInst(UpdaterContext& context, platform::UpdaterWindow& window) {
  return SaveQNDInstWithThreads(context, window, ProcessorCount());
}

Status SaveQNDInstWithThreads(UpdaterContext& context, platform::UpdaterWindow& window,
                              unsigned threads) {
  const StepProgress::Report report = [&window](int percent) {
    window.PaintStatusText(std::string(kSavingLine) + " " + std::to_string(percent) + " %");
  };
  window.ShowBusyCursor();
  context.log.PumpEvents();
  platform::FileSystem& fileSystem = *context.platform.fileSystem;
  const std::string tempPath = TempPath(fileSystem);

  Status status = kStatusFailed;
  try {
    ArchiveAndEmpty(fileSystem, context.state.TargetDir, tempPath,
                    context.platform.process->ProgramPath(), threads,
                    DataFoldersInside(context.state), report);
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
