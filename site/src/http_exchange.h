// One request as the site's routes see it, and the answer they give.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ludora::site {

using HeaderLines = std::vector<std::pair<std::string, std::string>>;

struct HttpRequest {
    std::string method;
    std::string path;   // decoded, without the query
    std::string query;  // raw, after the "?"
    std::string client; // the peer, or the client a trusted proxy names
    HeaderLines headers;

    // The value of the last line with this name (any case), or empty.
    std::string header(std::string_view name) const;
    // A query parameter, %xx decoded; empty when it is not there.
    std::string parameter(std::string_view name) const;
    bool has_parameter(std::string_view name) const;
};

struct HttpAnswer {
    int status = 200;
    std::string content_type;
    std::string body;
    HeaderLines headers;
    bool close = false; // the connection ends after this answer

    void set_header(std::string name, std::string value) {
        headers.emplace_back(std::move(name), std::move(value));
    }
};

} // namespace ludora::site
