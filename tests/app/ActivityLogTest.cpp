#include "app/ActivityLog.h"

#include <gtest/gtest.h>

#include <system_error>

#include "TempDir.h"

namespace dkscr {
namespace {

std::tm At(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

class LocaleHolder {
 public:
  explicit LocaleHolder(const char* name)
      : loc_(::newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0))) {}
  ~LocaleHolder() {
    if (loc_ != static_cast<locale_t>(0)) ::freelocale(loc_);
  }
  LocaleHolder(const LocaleHolder&) = delete;
  LocaleHolder& operator=(const LocaleHolder&) = delete;
  locale_t get() const { return loc_; }

 private:
  locale_t loc_;
};

TEST(LogTimeStamp, ShortDateSpaceLongTimeOfTheLocale) {
  for (const char* name : {"C", "C.UTF-8"}) {
    LocaleHolder loc(name);
    if (loc.get() == static_cast<locale_t>(0)) continue;
    EXPECT_EQ(FormatLogTimeStamp(At(2010, 5, 3, 14, 22, 10), loc.get()), u"05/03/10 14:22:10");
    // Exactly midnight leaves the time out; one second later does not.
    EXPECT_EQ(FormatLogTimeStamp(At(2010, 5, 3, 0, 0, 0), loc.get()), u"05/03/10");
    EXPECT_EQ(FormatLogTimeStamp(At(2010, 5, 3, 0, 0, 1), loc.get()), u"05/03/10 00:00:01");
  }
}

TEST(LogTimeStamp, FollowsTheLocaleWhenOneIsInstalled) {
  LocaleHolder us("en_US.UTF-8");
  LocaleHolder de("de_DE.UTF-8");
  if (us.get() == static_cast<locale_t>(0) && de.get() == static_cast<locale_t>(0)) {
    GTEST_SKIP() << "no en_US or de_DE locale installed";
  }
  if (us.get() != static_cast<locale_t>(0)) {
    EXPECT_EQ(FormatLogTimeStamp(At(2010, 5, 3, 14, 22, 10), us.get()), u"05/03/2010 02:22:10 PM");
  }
  if (de.get() != static_cast<locale_t>(0)) {
    EXPECT_EQ(FormatLogTimeStamp(At(2010, 5, 3, 14, 22, 10), de.get()), u"03.05.2010 14:22:10");
  }
}

TEST(LogLine, BracketsSeparatorAndLineEnd) {
  LocaleHolder c("C");
  EXPECT_EQ(FormatLogLine(At(2010, 5, 3, 14, 22, 10), u"Add file failed: already added (/a)",
                          c.get()),
            u"[05/03/10 14:22:10]: Add file failed: already added (/a)\r\n");
}

TEST(AppendLogLine, RefusesAFolderInPlaceOfTheFile) {
  test::TempDir dir;
  std::filesystem::create_directory(dir / "dkscract.log");
  EXPECT_THROW(AppendLogLine(dir / "dkscract.log", u"x"), std::system_error);
}

}  // namespace
}  // namespace dkscr
