// Reads the archive of the old installation back from disk before the files it holds are deleted,
// and checks that it is byte for byte what ZipWriter writes for the entries the archive step
// packed: every header field, every entry's deflate data inflated and summed, the central
// directory, the end record, and nothing after it. It streams through fixed buffers, so memory
// stays the same whatever the archive's size, and takes any bytes without reading past them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dir_updater/step_progress.h"
#include "dir_updater/zip_writer.h"
#include "platform/file_system.h"

namespace qnd::dir {

/// One entry the archive must hold, as the archive step wrote it.
struct ExpectedEntry {
  ZipEntry entry;          ///< name, DOS date/time, external attributes (zip_writer.h)
  std::uint32_t crc = 0;   ///< CRC-32 of the uncompressed data
  std::uint64_t size = 0;  ///< uncompressed size
};

/// Reads `path` back through `fileSystem` (OpenForReading, sequential reads of up to 1 MiB) and
/// throws ArchiveError naming what differs unless it is exactly the archive ZipWriter writes for
/// `expected`, in that order: each entry's local header, then its raw deflate data, which must end
/// exactly at its compressed size and inflate to its size and CRC-32; then one central-directory
/// record per entry pointing at where that local header started; then the end record counting
/// them, and the end of the file. A file that cannot be opened or read throws ArchiveError too.
/// `progress`, if any, counts each byte read in its current stage.
void VerifyArchive(platform::FileSystem& fileSystem, const std::string& path,
                   const std::vector<ExpectedEntry>& expected, StepProgress* progress = nullptr);

}  // namespace qnd::dir
