#include "dir_updater/install_cleanup.h"

#include <algorithm>

#include "dir_updater/folder_paths.h"
#include "dir_updater/piece_deflater.h"

namespace qnd::dir {
namespace {

// Where the file system's stamp is weak (FAT keeps no change time and reuses file numbers, two
// writes may fall into one tick), the bytes themselves tell whether the archive holds this file.
// `buffer` is shared by all files: allocating and clearing 1 MiB for each small file would cost
// more than reading it.
bool HoldsTheArchivedBytes(platform::InputFile& file, const ExpectedEntry& archived,
                           std::vector<char>& buffer) {
  std::uint32_t crc = 0;
  std::uint64_t size = 0;
  for (;;) {
    std::size_t got = 0;
    if (file.Read(buffer.data(), buffer.size(), got)) return false;
    if (got == 0) break;
    size += got;
    if (size > archived.size) return false;
    crc = Crc32(std::string_view(buffer.data(), got), crc);
  }
  return size == archived.size && crc == archived.crc;
}

bool Kept(const std::string& path, const std::vector<KeptFolder>& keptFolders) {
  return std::any_of(keptFolders.begin(), keptFolders.end(), [&](const KeptFolder& folder) {
    return folder.withSubfolders ? WithinFolder(path, folder.path)
                                 : DirectlyInside(path, folder.path);
  });
}

}  // namespace

bool DeleteFiles(platform::FileSystem& fileSystem, const ArchiveContents& contents,
                 const std::vector<KeptFolder>& keptFolders) {
  bool allDeleted = true;
  std::vector<char> buffer(1 << 20);
  for (const ArchivedFile& file : contents.files) {
    if (!file.unchanged || Kept(file.path, keptFolders)) continue;
    const std::error_code error =
        fileSystem.RemoveFileIfUnchanged(file.path, file.stamp, [&](platform::InputFile& content) {
          return HoldsTheArchivedBytes(content, file.archived, buffer);
        });
    if (error) allDeleted = false;
  }
  // A folder that still holds something refuses removal, which is how kept entries keep theirs. A
  // kept folder stays even when empty: a backup may need it to be there.
  for (const WalkedFolder& folder : contents.folders) {
    const bool kept = std::any_of(keptFolders.begin(), keptFolders.end(), [&](const KeptFolder& k) {
      return k.withSubfolders && WithinFolder(folder.path, k.path);
    });
    if (!kept) fileSystem.RemoveEmptyFolder(folder.path);
  }
  return allDeleted;
}

}  // namespace qnd::dir
