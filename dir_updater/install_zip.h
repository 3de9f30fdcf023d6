// Packs an installation directory into a new ZIP archive: the walk's files, each read while nobody
// may write to it and compressed in pieces of fixed size on as many threads as asked for, so
// memory stays the same whatever a file's size and the archive's bytes do not depend on the number
// of threads.
#pragma once

#include <string>

#include "dir_updater/archive_contents.h"
#include "dir_updater/piece_compressor.h"
#include "dir_updater/step_progress.h"
#include "platform/file_system.h"

namespace qnd::dir {

struct ZipOptions {
  /// The threads that compress; the files are read and the archive is written on the calling
  /// thread.
  unsigned threads = ProcessorCount();
  /// The stage of the caller's progress that counts the installation's bytes as they go into the
  /// archive, on the calling thread: its total is set once the walk is done, and it ends with the
  /// archive. None: nothing is reported.
  StepProgress* progress = nullptr;
};

/// Creates `archive` (an existing one is replaced) and packs `source` (without trailing separator)
/// into it, then finishes it, puts it on stable storage and closes it. Returns what the archive
/// holds. The walk lists the whole installation before the first file is read, so the progress
/// knows the total. Throws ArchiveError on any failure: a folder that cannot be listed, a file that
/// cannot be opened or read, a path too long for the system, an installation too large for the
/// format, a failing write, flush or close, or the archive itself lying inside `source`.
ArchiveContents DoZip(platform::FileSystem& fileSystem, const std::string& source,
                      const std::string& archive, const std::string& ownProgramPath,
                      const ZipOptions& options = {});

}  // namespace qnd::dir
