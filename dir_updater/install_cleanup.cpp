#include "dir_updater/install_cleanup.h"

namespace qnd::dir {

bool DeleteFiles(platform::FileSystem& fileSystem, const ArchiveContents& contents) {
  bool allDeleted = true;
  for (const ArchivedFile& file : contents.files) {
    if (fileSystem.RemoveFileIfUnchanged(file.path, file.stamp)) allDeleted = false;
  }
  // A folder that still holds something refuses removal, which is how kept entries keep theirs.
  for (const WalkedFolder& folder : contents.folders) {
    if (folder.heldEntries) fileSystem.RemoveEmptyFolder(folder.path);
  }
  return allDeleted;
}

}  // namespace qnd::dir
