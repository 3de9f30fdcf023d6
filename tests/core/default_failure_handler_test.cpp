#include "core/default_failure_handler.h"

#include <gtest/gtest.h>

namespace qnd {
namespace {

TEST(DefaultFailureHandlerTest, TitleIsProgramNameWithRestLowered) {
  const struct {
    const char* path;
    const char* title;
  } cases[] = {
      {"C:\\Programme\\QNDUpdaterP2.exe", "Qndupdaterp2"},
      {"Z:\\tmp\\QNDUpdater.exe", "Qndupdater"},
      {"/opt/quendra/QNDUpdaterP2", "Qndupdaterp2"},
      {"qndupdater.EXE", "qndupdater"},  // the first character keeps its case
      {"C:\\a.b\\ÄNDERUNG.exe", "Änderung"},
  };
  for (const auto& c : cases) EXPECT_EQ(FailureBoxTitle(c.path), c.title) << c.path;
}

TEST(DefaultFailureHandlerTest, PeriodOnlyAfterCharactersAbovePeriod) {
  const struct {
    const char* text;
    const char* shown;
  } cases[] = {
      {"In C:\\x\\QND_6_7_8_Update.ini kann nicht geschrieben werden",
       "In C:\\x\\QND_6_7_8_Update.ini kann nicht geschrieben werden."},
      {"Ungültiger Datentyp für 'Common Appdata'", "Ungültiger Datentyp für 'Common Appdata'"},
      {"IsWow64: bad process handle", "IsWow64: bad process handle."},
      {"Abbruch!", "Abbruch!"},
      {"Ende.", "Ende."},
      {"Zeile-", "Zeile-"},  // '-' is below '.'
      {"Fehler 5", "Fehler 5."},
      {"Größe", "Größe."},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FailureBoxText(c.text), c.shown) << c.text;
}

}  // namespace
}  // namespace qnd
