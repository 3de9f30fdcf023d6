#include "platform/regional.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <ctime>
#include <string_view>

namespace qnd::platform {
namespace {

// The locale name that decides LC_TIME, by the environment's usual precedence.
std::string_view TimeLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return value;
  }
  return "C";
}

bool IsNeutralLocale(std::string_view name) {
  return name == "C" || name == "POSIX" || name.starts_with("C.");
}

// Formats with the environment's LC_TIME; `fallback` when that is the neutral locale or unknown.
std::string Format(const CalendarTime& time, nl_item item, const char* fallback) {
  std::tm tm{};
  tm.tm_year = time.year - 1900;
  tm.tm_mon = time.month - 1;
  tm.tm_mday = time.day;
  tm.tm_hour = time.hour;
  tm.tm_min = time.minute;
  tm.tm_sec = time.second;

  char buffer[128];
  locale_t locale = IsNeutralLocale(TimeLocaleName())
                        ? static_cast<locale_t>(0)
                        : ::newlocale(LC_TIME_MASK, std::string(TimeLocaleName()).c_str(),
                                      static_cast<locale_t>(0));
  std::size_t length = 0;
  if (locale) {
    length = ::strftime_l(buffer, sizeof buffer, ::nl_langinfo_l(item, locale), &tm, locale);
    ::freelocale(locale);
  } else {
    length = std::strftime(buffer, sizeof buffer, fallback, &tm);
  }
  return std::string(buffer, length);
}

class PosixRegional final : public Regional {
 public:
  CalendarTime Now() override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
  }
  std::string ShortDate(const CalendarTime& time) override {
    return Format(time, D_FMT, "%d.%m.%Y");
  }
  std::string LongTime(const CalendarTime& time) override {
    return Format(time, T_FMT, "%H:%M:%S");
  }
};

}  // namespace

Regional& SystemRegional() {
  static PosixRegional regional;
  return regional;
}

}  // namespace qnd::platform
