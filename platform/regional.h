// The clock and the user's regional date and time formats.
// Windows: GetDateFormatW / GetTimeFormatW with the user's defaults, asked on every call, so a change
// of the regional settings while the program runs is used at once. POSIX: the formats of the LC_TIME
// locale of the environment (LC_ALL, LC_TIME, LANG), asked on every call; for the C or POSIX locale,
// which has no regional format of its own, the German formats, like all of the programs' texts.
#pragma once

#include <string>

namespace qnd::platform {

struct CalendarTime {
  int year = 0;
  int month = 0;  ///< 1 to 12
  int day = 0;    ///< 1 to 31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Regional {
 public:
  virtual ~Regional() = default;
  /// The current local date and time.
  virtual CalendarTime Now() = 0;
  /// `time` in the user's short date format (German: 11.11.2019).
  virtual std::string ShortDate(const CalendarTime& time) = 0;
  /// `time` in the user's long time format (German: 14:06:22).
  virtual std::string LongTime(const CalendarTime& time) = 0;
};

/// The clock and formats of this system.
Regional& SystemRegional();

}  // namespace qnd::platform
