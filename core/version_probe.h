// The installed release as the program file itself names it.
#pragma once

#include <string>

namespace qnd {

/// The product version of the program file at `path` as "a.b.c.d" (four unsigned decimal numbers),
/// or "0.0.0.0" when the file is missing or has no readable version resource. Never fails.
std::string GetFileVersionsString_2(const std::string& path);

}  // namespace qnd
