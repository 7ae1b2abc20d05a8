#include "model/Timestamps.h"

#include <cstdio>

namespace dkscr {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

// Days since 1970-01-01 of a proleptic Gregorian date, and back (the usual era arithmetic:
// 400-year eras of 146097 days, years starting in March).
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, int64_t& year, int64_t& month, int64_t& day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shifted = (5 * dayOfYear + 2) / 153;
  day = dayOfYear - (153 * shifted + 2) / 5 + 1;
  month = shifted + (shifted < 10 ? 3 : -9);
  year = yearOfEra + era * 400 + (month <= 2);
}

// Reads exactly `count` digits at `at`; false when they are not there.
bool Digits(std::string_view text, size_t& at, size_t count, int64_t& value) {
  if (at > text.size() || text.size() - at < count) return false;
  value = 0;
  for (size_t i = 0; i < count; ++i) {
    const char c = text[at + i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  at += count;
  return true;
}

bool Expect(std::string_view text, size_t& at, char c) {
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}

}  // namespace

std::string UtcTimestamp(int64_t seconds) {
  int64_t days = seconds / kSecondsPerDay;
  int64_t rest = seconds % kSecondsPerDay;
  if (rest < 0) {
    rest += kSecondsPerDay;
    --days;
  }
  int64_t year = 0, month = 0, day = 0;
  CivilFromDays(days, year, month, day);
  if (year < 0 || year > 9999) {
    char text[128];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lldZ", static_cast<long long>(year),
                  static_cast<long long>(month), static_cast<long long>(day), static_cast<long long>(rest / 3600),
                  static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
    return text;
  }
  // The usual four-digit year written digit by digit: a document's dates are read with every
  // small file, and formatting them through printf cost more than reading them.
  std::string text = "0000-00-00T00:00:00Z";
  const auto put = [&](size_t at, int64_t value, size_t digits) {
    for (size_t i = digits; i-- > 0; value /= 10) text[at + i] = static_cast<char>('0' + value % 10);
  };
  put(0, year, 4);
  put(5, month, 2);
  put(8, day, 2);
  put(11, rest / 3600, 2);
  put(14, rest / 60 % 60, 2);
  put(17, rest % 60, 2);
  return text;
}

std::optional<int64_t> ParseXmlDateTime(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  while (!text.empty() && (text.front() == ' ' || text.front() == '\n' || text.front() == '\r' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  size_t at = 0;
  int64_t year = 0, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  if (!Digits(text, at, 4, year)) return std::nullopt;
  if (at < text.size() && (!Expect(text, at, '-') || !Digits(text, at, 2, month))) return std::nullopt;
  if (at < text.size() && (!Expect(text, at, '-') || !Digits(text, at, 2, day))) return std::nullopt;
  if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  int64_t offset = 0;  // of the zone, in seconds east of UTC
  if (at < text.size()) {
    if (!Expect(text, at, 'T') || !Digits(text, at, 2, hour) || !Expect(text, at, ':') || !Digits(text, at, 2, minute)) {
      return std::nullopt;
    }
    if (at < text.size() && text[at] == ':' && (!Expect(text, at, ':') || !Digits(text, at, 2, second))) return std::nullopt;
    if (at < text.size() && text[at] == '.') {
      ++at;
      const size_t first = at;
      while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
      if (at == first) return std::nullopt;
    }
    if (hour > 24 || minute > 59 || second > 60) return std::nullopt;
    if (at < text.size()) {
      if (text[at] == 'Z') {
        ++at;
      } else if (text[at] == '+' || text[at] == '-') {
        const int64_t sign = text[at++] == '-' ? -1 : 1;
        int64_t zoneHours = 0, zoneMinutes = 0;
        if (!Digits(text, at, 2, zoneHours) || !Expect(text, at, ':') || !Digits(text, at, 2, zoneMinutes)) {
          return std::nullopt;
        }
        offset = sign * (zoneHours * 3600 + zoneMinutes * 60);
      } else {
        return std::nullopt;
      }
    }
    if (at != text.size()) return std::nullopt;
  }
  return DaysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second - offset;
}

}  // namespace dkscr
