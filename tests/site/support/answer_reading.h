// What a reader takes from the site's answers: the text a page shows, and the
// rows of the JSON scores.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sitetest {

// The page as a person reads it: tags dropped (each one a space), the five
// entities the site writes decoded, runs of white space made one space.
std::string visible_text(const std::string& html);

struct ApiRow {
    int rank = 0;
    std::string name;
    int32_t score = 0;
    std::string uploaded;
};

// The rows of one game's /api/scores answer, in order.
std::vector<ApiRow> api_rows(const std::string& json);

} // namespace sitetest
