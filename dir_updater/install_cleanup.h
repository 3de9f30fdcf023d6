// Empties the installation directory of exactly what its verified archive holds. What the archive
// left out stays: hidden and system sub-folders, links, the running updater, files that appeared
// meanwhile, and files that changed after they were archived. So do the product's data folders
// that lie inside the installation: the backups after the archive step need them where they are.
#pragma once

#include <string>
#include <vector>

#include "dir_updater/archive_contents.h"
#include "dir_updater/step_progress.h"
#include "platform/file_system.h"

namespace qnd::dir {

/// A folder whose files stay: with everything below it, or (a data folder that is the installation
/// directory itself) only the files directly inside.
struct KeptFolder {
  std::string path;  ///< a full path
  bool withSubfolders = true;
};

/// Deletes each archived file that is still as it was archived, checked by its stamp and, just
/// before the deletion, by the size and CRC-32 of its bytes read once more (read-only files as
/// well), unless one of `keptFolders` keeps it; then each walked folder that holds
/// nothing any more, deepest first (folders that were empty from the start too); never the
/// installation directory itself. True when every file that was to go is gone; what cannot be
/// deleted stays where it is and the rest goes on. The files are deleted on `threads` threads
/// (the calling one among them), the folders afterwards on the calling thread. `progress`, if any,
/// counts each archived file's size in its current stage once the file is dealt with, deleted or
/// not, on the calling thread.
bool DeleteFiles(platform::FileSystem& fileSystem, const ArchiveContents& contents,
                 const std::vector<KeptFolder>& keptFolders = {}, StepProgress* progress = nullptr,
                 unsigned threads = 1);

}  // namespace qnd::dir
