#include "platform/file_time.h"

#include "platform/win32/win32.h"

namespace qnd::platform {

std::optional<CalendarTime> ToLocalTime(FileTime time) {
  if (time.ticks < 0) return std::nullopt;
  const auto ticks = static_cast<std::uint64_t>(time.ticks);
  const FILETIME fileTime{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME utc{};
  SYSTEMTIME local{};
  // Unlike FileTimeToLocalFileTime, which applies today's daylight saving to every date, this
  // takes the offset in force at that time, as POSIX localtime does.
  if (!::FileTimeToSystemTime(&fileTime, &utc) ||
      !::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
    return std::nullopt;
  return CalendarTime{local.wYear, local.wMonth,  local.wDay,
                      local.wHour, local.wMinute, local.wSecond};
}

}  // namespace qnd::platform
