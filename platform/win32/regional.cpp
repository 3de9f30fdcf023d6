#include "platform/regional.h"

#include "platform/win32/wide.h"

namespace qnd::platform {
namespace {

SYSTEMTIME ToSystemTime(const CalendarTime& time) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(time.year);
  st.wMonth = static_cast<WORD>(time.month);
  st.wDay = static_cast<WORD>(time.day);
  st.wHour = static_cast<WORD>(time.hour);
  st.wMinute = static_cast<WORD>(time.minute);
  st.wSecond = static_cast<WORD>(time.second);
  return st;
}

// The user's defaults are asked for on every call, so a change of the regional settings counts from
// the next call on, without waiting for the system's announcement.
class Win32Regional final : public Regional {
 public:
  CalendarTime Now() override {
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
  }
  std::string ShortDate(const CalendarTime& time) override {
    const SYSTEMTIME st = ToSystemTime(time);
    wchar_t buffer[128] = {};
    const int length = ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer,
                                        static_cast<int>(std::size(buffer)));
    return length > 0 ? win32::Narrow(std::wstring_view(buffer, length - 1)) : std::string();
  }
  std::string LongTime(const CalendarTime& time) override {
    const SYSTEMTIME st = ToSystemTime(time);
    wchar_t buffer[128] = {};
    const int length = ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer,
                                        static_cast<int>(std::size(buffer)));
    return length > 0 ? win32::Narrow(std::wstring_view(buffer, length - 1)) : std::string();
  }
};

}  // namespace

Regional& SystemRegional() {
  static Win32Regional regional;
  return regional;
}

}  // namespace qnd::platform
