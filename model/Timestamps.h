#pragma once
// Dates and times of document properties, as the model holds them: ISO 8601 in UTC,
// "YYYY-MM-DDThh:mm:ssZ".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dkscr {

// The timestamp of a count of seconds since 1970-01-01T00:00:00Z (negative before it).
std::string UtcTimestamp(int64_t seconds);

// Seconds since 1970-01-01T00:00:00Z of a date and time as XML writes it (W3C date and time:
// "2024-05-01", "2024-05-01T09:30:00Z", "2024-05-01T11:30:00.5+02:00"; a time without a zone
// is taken as UTC); none for anything else.
std::optional<int64_t> ParseXmlDateTime(std::string_view text);

}  // namespace dkscr
