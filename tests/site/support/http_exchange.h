// One HTTP request on a fresh loopback connection, with the request target
// sent byte for byte as given (no client re-escapes it).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace sitetest {

struct HttpAnswer {
    int status = 0;                             // 0 when no answer came
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;

    // The header's value, or empty; name in lower case.
    std::string header(const std::string& name) const {
        const auto found = headers.find(name);
        return found == headers.end() ? std::string() : found->second;
    }
};

HttpAnswer http_request(int port, const std::string& method, const std::string& target,
                        const std::vector<std::string>& extra_header_lines = {});

inline HttpAnswer http_get(int port, const std::string& target,
                           const std::vector<std::string>& extra_header_lines = {}) {
    return http_request(port, "GET", target, extra_header_lines);
}

} // namespace sitetest
