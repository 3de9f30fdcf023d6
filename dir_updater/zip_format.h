// The values every archive of the old installation holds, shared by the writer and the check that
// reads the archive back.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qnd::dir::zip {

inline constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
inline constexpr std::uint32_t kCentralHeaderSignature = 0x02014b50;
inline constexpr std::uint32_t kEndRecordSignature = 0x06054b50;
inline constexpr std::uint16_t kVersion = 20;  // 2.0: deflate; high byte 0: MS-DOS attributes
inline constexpr std::uint16_t kUtf8Flag = 0x0800;
inline constexpr std::uint16_t kDeflated = 8;

// The fixed-length fields of the three records, before a name.
inline constexpr std::size_t kLocalHeaderSize = 30;
inline constexpr std::size_t kCentralRecordSize = 46;
inline constexpr std::size_t kEndRecordSize = 22;

}  // namespace qnd::dir::zip
