// One line on standard error for every request the site answers.
#include "request_log.h"

#include "utc_time.h"

#include <cstdio>
#include <unistd.h>

namespace ludora::site {

namespace {

// A decoded path may hold anything; the log keeps one request on one line,
// in ASCII, so no terminal or log viewer takes a byte of it as a command.
std::string printable(std::string_view text, size_t longest, bool keep_spaces = false) {
    static const char kHex[] = "0123456789ABCDEF";
    if (text.empty()) return "-";
    std::string out;
    for (const char c : text.substr(0, longest)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 || c == '\\') {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += byte < 0x20 || byte == 0x7F || (c == ' ' && !keep_spaces) ? '?' : c;
        }
    }
    if (text.size() > longest) out += "...";
    return out;
}

} // namespace

std::string request_log_line(std::string_view client, std::string_view method,
                             std::string_view path, int status, size_t body_bytes,
                             double milliseconds) {
    char timing[32] = "-";
    if (milliseconds >= 0) std::snprintf(timing, sizeof timing, "%.1fms", milliseconds);
    return utc_timestamp(unix_seconds_now()) + " " + printable(client, 64) + " " +
           printable(method, 16) + " " + printable(path, 160) + " " +
           (status > 0 ? std::to_string(status) : "-") + " " + std::to_string(body_bytes) + " " +
           timing;
}

std::string problem_log_line(std::string_view what, std::string_view problem) {
    return utc_timestamp(unix_seconds_now()) + " ludora-site: " + std::string(what) + ": " +
           printable(problem.empty() ? "no reason given" : problem, 400, true);
}

void write_log_line(std::string line) {
    line += '\n';
    size_t written = 0;
    while (written < line.size()) {
        const ssize_t now = ::write(STDERR_FILENO, line.data() + written, line.size() - written);
        if (now <= 0) return;
        written += static_cast<size_t>(now);
    }
}

} // namespace ludora::site
