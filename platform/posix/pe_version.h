// Finds the version resource in the bytes of a PE file (PE32 or PE32+) the way Windows' resource
// lookup does, and reads the product version from its fixed part (internal to platform/posix).
#pragma once

#include <optional>
#include <string_view>

#include "platform/version_info.h"

namespace qnd::platform::posix {

/// The product version held in the PE image `image`; nullopt when the image is no PE file, has no
/// resource of type RT_VERSION (16) with name ID 1, or any part on the way is malformed. Reads only
/// inside `image` and does a bounded amount of work for any input.
std::optional<ProductVersion> ParseProductVersion(std::string_view image);

}  // namespace qnd::platform::posix
