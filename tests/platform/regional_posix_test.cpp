// The Linux formats come from the environment's LC_TIME locale.
#include <gtest/gtest.h>
#include <locale.h>
#include <stdlib.h>

#include <string>

#include "platform/regional.h"
#include "tests/support/scoped_variable.h"

namespace qnd::platform {
namespace {

// LC_ALL for one test.
struct ScopedLocale : test::ScopedVariable {
  explicit ScopedLocale(const char* name) : ScopedVariable("LC_ALL", name) {}
};

bool LocaleAvailable(const char* name) {
  locale_t locale = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(0));
  if (locale) freelocale(locale);
  return locale != static_cast<locale_t>(0);
}

TEST(RegionalPosixTest, GermanLocaleGivesGermanFormats) {
  if (!LocaleAvailable("de_DE.UTF-8")) GTEST_SKIP() << "locale de_DE.UTF-8 is not generated here";
  ScopedLocale german("de_DE.UTF-8");
  EXPECT_EQ(SystemRegional().ShortDate({2019, 11, 11, 14, 6, 22}), "11.11.2019");
  EXPECT_EQ(SystemRegional().ShortDate({2019, 1, 5, 9, 3, 7}), "05.01.2019");
  EXPECT_EQ(SystemRegional().LongTime({2019, 1, 5, 9, 3, 7}), "09:03:07");
}

TEST(RegionalPosixTest, NeutralLocaleFallsBackToGermanFormats) {
  for (const char* name : {"C", "POSIX", "C.UTF-8"}) {
    ScopedLocale neutral(name);
    EXPECT_EQ(SystemRegional().ShortDate({2019, 1, 5, 9, 3, 7}), "05.01.2019") << name;
    EXPECT_EQ(SystemRegional().LongTime({2019, 11, 11, 14, 6, 22}), "14:06:22") << name;
  }
}

TEST(RegionalPosixTest, OtherLocalesUseTheirOwnFormats) {
  if (!LocaleAvailable("en_US.UTF-8")) GTEST_SKIP() << "locale en_US.UTF-8 is not generated here";
  ScopedLocale american("en_US.UTF-8");
  EXPECT_EQ(SystemRegional().ShortDate({2019, 1, 5, 9, 3, 7}), "01/05/2019");
}

}  // namespace
}  // namespace qnd::platform
