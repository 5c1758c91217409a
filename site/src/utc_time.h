// Upload times as the pages and the JSON show them.
#pragma once

#include <cstdint>
#include <string>

namespace ludora::site {

// Seconds since 1970 now.
int64_t unix_seconds_now();

// "2026-12-07" for a time in seconds since 1970, UTC.
std::string utc_date(int64_t seconds);

// "2026-12-07T15:46:37Z".
std::string utc_timestamp(int64_t seconds);

} // namespace ludora::site
