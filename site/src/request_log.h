// One line on standard error for every request the site answers.
#pragma once

#include <string>
#include <string_view>

namespace ludora::site {

// "2026-12-07T15:46:37Z 127.0.0.1 GET /cgi-bin/hiscore.cgi 200 2311 0.8ms".
// Bytes outside printable ASCII are written as "\xNN". A status of 0 (the
// request ended before an answer) is written "-". Only the path is logged, never the query: an
// upload's query holds the player's address and e-mail.
std::string request_log_line(std::string_view client, std::string_view method,
                             std::string_view path, int status, size_t body_bytes,
                             double milliseconds);

// A line on what went wrong, with the database's own words: "2026-12-07T15:46:37Z
// ludora-site: an upload cannot be written: database or disk is full".
std::string problem_log_line(std::string_view what, std::string_view problem);

// Writes the line in one piece, so lines from several threads never mix.
void write_log_line(std::string line);

} // namespace ludora::site
