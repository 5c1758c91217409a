// One request as the site's routes see it.
#include "http_exchange.h"

#include "percent_decoding.h"

#include <strings.h>

namespace ludora::site {

namespace {

// The raw value of the first "name=" parameter; npos when there is none.
size_t parameter_value_start(std::string_view query, std::string_view name) {
    size_t start = 0;
    while (start <= query.size()) {
        const size_t end = std::min(query.find('&', start), query.size());
        const std::string_view pair = query.substr(start, end - start);
        if (pair.size() > name.size() && pair.starts_with(name) && pair[name.size()] == '=')
            return start + name.size() + 1;
        if (pair == name) return end;
        start = end + 1;
    }
    return std::string_view::npos;
}

} // namespace

std::string HttpRequest::header(std::string_view name) const {
    for (auto line = headers.rbegin(); line != headers.rend(); ++line)
        if (line->first.size() == name.size() &&
            strncasecmp(line->first.data(), name.data(), name.size()) == 0)
            return line->second;
    return {};
}

bool HttpRequest::has_parameter(std::string_view name) const {
    return parameter_value_start(query, name) != std::string_view::npos;
}

std::string HttpRequest::parameter(std::string_view name) const {
    const size_t start = parameter_value_start(query, name);
    if (start == std::string_view::npos) return {};
    const size_t end = std::min(query.find('&', start), query.size());
    std::string raw = query.substr(start, end - start);
    for (char& c : raw)
        if (c == '+') c = ' ';
    return percent_decode(raw).value_or(std::string());
}

} // namespace ludora::site
