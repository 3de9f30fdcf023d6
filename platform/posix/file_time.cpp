#include "platform/file_time.h"

#include <time.h>

namespace qnd::platform {

std::optional<CalendarTime> ToLocalTime(FileTime time) {
  constexpr std::int64_t kTicksPerSecond = 10'000'000;
  constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
  // Rounded down, so a time before 1970 keeps its second.
  std::int64_t seconds = time.ticks / kTicksPerSecond;
  if (time.ticks % kTicksPerSecond < 0) --seconds;
  const time_t since1970 = static_cast<time_t>(seconds - kSecondsFrom1601To1970);
  struct tm local {};
  if (::localtime_r(&since1970, &local) == nullptr) return std::nullopt;
  return CalendarTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                      local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace qnd::platform
