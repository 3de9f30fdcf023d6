// Empties the installation directory of exactly what its archive holds, once the archive is
// complete. What the archive left out stays: hidden and system sub-folders, links, the running
// updater, files that appeared meanwhile, and files that changed after they were archived.
#pragma once

#include "dir_updater/archive_contents.h"
#include "platform/file_system.h"

namespace qnd::dir {

/// Deletes each archived file that is still as it was archived (read-only ones as well), then each
/// walked folder that this leaves empty, deepest first; never the installation directory itself,
/// and no folder that was empty before. True when every archived file is gone; what cannot be
/// deleted stays where it is and the rest goes on.
bool DeleteFiles(platform::FileSystem& fileSystem, const ArchiveContents& contents);

}  // namespace qnd::dir
