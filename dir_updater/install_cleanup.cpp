#include "dir_updater/install_cleanup.h"

#include <algorithm>
#include <atomic>
#include <thread>

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
                 const std::vector<KeptFolder>& keptFolders, StepProgress* progress,
                 unsigned threads) {
  std::vector<const ArchivedFile*> doomed;
  std::uint64_t staying = 0;
  for (const ArchivedFile& file : contents.files) {
    if (file.unchanged && !Kept(file.path, keptFolders)) {
      doomed.push_back(&file);
    } else {
      staying += file.archived.size;
    }
  }
  if (progress) progress->Add(staying);

  // Each deletion waits for the file system rather than for a processor, so several run at once;
  // each file is checked and deleted on its own, in whatever order the threads take them.
  std::atomic<std::size_t> next{0};
  std::atomic<std::uint64_t> doneBytes{0};
  std::atomic<bool> allDeleted{true};
  const auto deleteSome = [&](bool reporting) {
    std::vector<char> buffer(1 << 20);
    for (std::size_t index; (index = next.fetch_add(1)) < doomed.size();) {
      const ArchivedFile& file = *doomed[index];
      const std::error_code error = fileSystem.RemoveFileIfUnchanged(
          file.path, file.stamp, [&](platform::InputFile& content) {
            return HoldsTheArchivedBytes(content, file.archived, buffer);
          });
      if (error) allDeleted = false;
      const std::uint64_t done = doneBytes += file.archived.size;
      // The bar is painted on the calling thread only.
      if (reporting && progress) progress->SetDone(staying + done);
    }
  };
  {
    // Joined however the calling thread's share ends, even by an exception.
    std::vector<std::jthread> helpers;
    for (unsigned n = 1; n < threads && n < doomed.size(); ++n) {
      try {
        // A helper that fails (out of memory) leaves its file where it is; the others take on the
        // rest.
        helpers.emplace_back([&] {
          try {
            deleteSome(false);
          } catch (...) {
            allDeleted = false;
          }
        });
      } catch (...) {
        break;  // no more threads: the others do the rest
      }
    }
    deleteSome(true);
  }
  if (progress) progress->SetDone(staying + doneBytes);

  // A folder that still holds something refuses removal, which is how kept entries keep theirs. A
  // kept folder stays even when empty: a backup may need it to be there.
  for (const WalkedFolder& folder : contents.folders) {
    const bool kept = std::any_of(keptFolders.begin(), keptFolders.end(), [&](const KeptFolder& k) {
      return k.withSubfolders && WithinFolder(folder.path, k.path);
    });
    if (!kept) fileSystem.RemoveEmptyFolder(folder.path);
  }
  return allDeleted.load();
}

}  // namespace qnd::dir
