// A file's last-write time as Windows keeps it, and its conversion into the local time of this
// system. POSIX turns its modification time into the same count, so both bodies compare and convert
// file times alike.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>

#include "platform/regional.h"

namespace qnd::platform {

/// Intervals of 100 nanoseconds since 1601-01-01 00:00 UTC (a Windows FILETIME).
struct FileTime {
  std::int64_t ticks = 0;
  friend auto operator<=>(const FileTime&, const FileTime&) = default;
};

/// `time` as the local date and time of this system, with the time zone's offset and daylight
/// saving that apply at that moment (Windows: SystemTimeToTzSpecificLocalTime with the current time
/// zone; POSIX: localtime_r). nullopt when the system cannot convert it.
std::optional<CalendarTime> ToLocalTime(FileTime time);

}  // namespace qnd::platform
