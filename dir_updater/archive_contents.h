// What the archive of the old installation holds, as the verification and the deletion afterwards
// need it: each entry with the file it was read from, and the folders the walk went through.
#pragma once

#include <string>
#include <vector>

#include "dir_updater/archive_check.h"
#include "platform/open_file.h"

namespace qnd::dir {

struct ArchivedFile {
  ExpectedEntry archived;     ///< the entry as written, with the CRC-32 and size of its bytes
  std::string path;           ///< the file it was read from
  platform::FileStamp stamp;  ///< identity, size and last-write time when it was opened
  /// Still as when opened once its last byte was read, so the entry holds all of it: only such a
  /// file may be deleted.
  bool unchanged = false;
};

struct WalkedFolder {
  std::string path;  ///< without a trailing separator
  bool heldEntries;  ///< whether it held anything at all when it was walked
};

struct ArchiveContents {
  std::vector<ArchivedFile> files;  ///< every entry, in archive order
  /// The sub-folders of the installation directory, each after every folder below it; the
  /// installation directory itself is not among them.
  std::vector<WalkedFolder> folders;

  /// The entries the archive must hold, in order.
  std::vector<ExpectedEntry> Entries() const {
    std::vector<ExpectedEntry> entries;
    entries.reserve(files.size());
    for (const ArchivedFile& file : files) entries.push_back(file.archived);
    return entries;
  }
};

}  // namespace qnd::dir
