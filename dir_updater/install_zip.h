// Packs an installation directory into a new ZIP archive: the walk's files, each read while nobody
// may write to it and compressed in pieces of fixed size, so memory stays the same whatever a
// file's size.
#pragma once

#include <string>

#include "dir_updater/archive_contents.h"
#include "platform/file_system.h"

namespace qnd::dir {

/// Creates `archive` (an existing one is replaced) and packs `source` (without trailing separator)
/// into it, then finishes it, puts it on stable storage and closes it. Returns what the archive
/// holds. Throws ArchiveError on any failure: a folder that cannot be listed, a file that cannot be
/// opened or read, a path too long for the system, an installation too large for the format, a
/// failing write, flush or close, or the archive itself lying inside `source`.
ArchiveContents DoZip(platform::FileSystem& fileSystem, const std::string& source,
                      const std::string& archive, const std::string& ownProgramPath);

}  // namespace qnd::dir
