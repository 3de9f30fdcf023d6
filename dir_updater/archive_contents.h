// What the archive of the old installation holds, as the deletion afterwards needs it: each file
// with the stamp it had when it was read, and the folders the walk went through.
#pragma once

#include <string>
#include <vector>

#include "platform/open_file.h"

namespace qnd::dir {

struct ArchivedFile {
  std::string path;
  platform::FileStamp stamp;  ///< identity, size and last-write time when it was archived
};

struct WalkedFolder {
  std::string path;  ///< without a trailing separator
  bool heldEntries;  ///< whether it held anything at all when it was walked
};

struct ArchiveContents {
  std::vector<ArchivedFile> files;  ///< in archive order
  /// The sub-folders of the installation directory, each after every folder below it; the
  /// installation directory itself is not among them.
  std::vector<WalkedFolder> folders;
};

}  // namespace qnd::dir
