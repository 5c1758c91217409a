// Upload times as the pages and the JSON show them.
#include "utc_time.h"

#include <chrono>
#include <ctime>

namespace ludora::site {

namespace {

std::string format_utc(int64_t seconds, const char* format) {
    const auto time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (!gmtime_r(&time, &parts)) return "";
    char text[32];
    const size_t length = std::strftime(text, sizeof text, format, &parts);
    return std::string(text, length);
}

} // namespace

int64_t unix_seconds_now() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string utc_date(int64_t seconds) {
    return format_utc(seconds, "%Y-%m-%d");
}

std::string utc_timestamp(int64_t seconds) {
    return format_utc(seconds, "%Y-%m-%dT%H:%M:%SZ");
}

} // namespace ludora::site
