#include "tests/gui/win32_run_support.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/win32/wide.h"
#include "tests/support/temp_dir.h"

namespace qnd::test {
namespace {

// The static control that holds a message box's text has this id on Windows and under Wine.
constexpr int kBoxTextId = 0xFFFF;

std::uint64_t Ticks(const SYSTEMTIME& time) {
  FILETIME file;
  ::SystemTimeToFileTime(&time, &file);
  return (std::uint64_t{file.dwHighDateTime} << 32) | file.dwLowDateTime;
}

SYSTEMTIME FromTicks(std::uint64_t ticks) {
  const FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME time;
  ::FileTimeToSystemTime(&file, &time);
  return time;
}

std::string Formatted(const SYSTEMTIME& time, bool date) {
  wchar_t buffer[128] = {};
  const int length =
      date ? ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer, 128)
           : ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, buffer, 128);
  return platform::win32::Narrow(std::wstring_view(buffer, length > 0 ? length - 1 : 0));
}

}  // namespace

std::string BoxText(HWND box) {
  return platform::win32::Narrow(WindowText(::GetDlgItem(box, kBoxTextId)));
}

void AnswerBox(const ChildProcess& process, const std::wstring& title, const std::string& text,
               WORD key) {
  const HWND box = process.WaitForWindow(kBoxClass, title);
  ASSERT_NE(box, nullptr) << "no box \"" << platform::win32::Narrow(title) << "\"";
  EXPECT_EQ(BoxText(box), text);
  PressKey(box, key);
}

void ExpectResultFile(const SampleInstallation& installation, const std::string& version,
                      const SYSTEMTIME& start) {
  const std::string file =
      installation.iniDir + "001" + platform::kPathSeparator + "QND_6_7_8_Update.ini";
  platform::Profile& profile = platform::SystemProfile();
  EXPECT_EQ(profile.ReadString(file, "Update", "Erfolg", "-"), "0");
  EXPECT_EQ(profile.ReadString(file, "Update", "Vorversion", "-"), version);

  std::set<std::string> dates, times;
  constexpr std::uint64_t kSecond = 10'000'000;  // in FILETIME's 100 ns
  for (std::uint64_t at = Ticks(start) / kSecond * kSecond; at <= Ticks(LocalNow());
       at += kSecond) {
    dates.insert(Formatted(FromTicks(at), true));
    times.insert(Formatted(FromTicks(at), false));
  }
  const std::string date = profile.ReadString(file, "Update", "Datum", "-");
  const std::string time = profile.ReadString(file, "Update", "Uhrzeit", "-");
  EXPECT_TRUE(dates.contains(date)) << "Datum=" << date;
  EXPECT_TRUE(times.contains(time)) << "Uhrzeit=" << time;
}

SYSTEMTIME LocalNow() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return now;
}

}  // namespace qnd::test
