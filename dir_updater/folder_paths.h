// How two full paths of folders relate, compared part by part the way the file system matches
// names (without regard to case on Windows). Trailing separators do not count.
#pragma once

#include <string>

#include "platform/paths.h"

namespace qnd::dir {

/// True when `a` and `b` name the same folder.
bool SameFolder(const std::string& a, const std::string& b,
                char separator = platform::kPathSeparator,
                bool ignoreCase = platform::kFileNamesIgnoreCase);

/// True when `path` is `folder` itself or lies anywhere below it.
bool WithinFolder(const std::string& path, const std::string& folder,
                  char separator = platform::kPathSeparator,
                  bool ignoreCase = platform::kFileNamesIgnoreCase);

/// True when `path` lies directly inside `folder`.
bool DirectlyInside(const std::string& path, const std::string& folder,
                    char separator = platform::kPathSeparator,
                    bool ignoreCase = platform::kFileNamesIgnoreCase);

}  // namespace qnd::dir
