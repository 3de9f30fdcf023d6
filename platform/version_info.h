// The version resource of a program file, as GetFileVersionInfoW and VerQueryValueW(L"\\") show it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qnd::platform {

/// The product version of VS_FIXEDFILEINFO: the high and low words of dwProductVersionMS, then
/// those of dwProductVersionLS. Product version "8.2.0.15" is {8, 2, 0, 15}.
struct ProductVersion {
  std::uint16_t major;
  std::uint16_t minor;
  std::uint16_t build;
  std::uint16_t revision;

  friend bool operator==(const ProductVersion&, const ProductVersion&) = default;
};

/// The product version of the file at `path`; nullopt when the file cannot be read, has no version
/// resource (type RT_VERSION, name ID 1) or the resource has no valid fixed part (shorter than
/// VS_FIXEDFILEINFO, or without its signature 0xFEEF04BD).
std::optional<ProductVersion> ReadProductVersion(const std::string& path);

}  // namespace qnd::platform
