#include "core/version_probe.h"

#include "platform/version_info.h"

namespace qnd {

std::string GetFileVersionsString_2(const std::string& path) {
  const platform::ProductVersion version =
      platform::ReadProductVersion(path).value_or(platform::ProductVersion{0, 0, 0, 0});
  return std::to_string(version.major) + '.' + std::to_string(version.minor) + '.' +
         std::to_string(version.build) + '.' + std::to_string(version.revision);
}

}  // namespace qnd
