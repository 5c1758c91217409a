// Who a request comes from.
#include "client_address.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>

namespace ludora::site {

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string address_text(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = "";
    if (address && address->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text,
                  sizeof text);
    } else if (address && address->sa_family == AF_INET6) {
        const in6_addr& six = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
        if (IN6_IS_ADDR_V4MAPPED(&six))
            inet_ntop(AF_INET, &six.s6_addr[12], text, sizeof text);
        else
            inet_ntop(AF_INET6, &six, text, sizeof text);
    }
    return text;
}

std::string limit_key(std::string_view address) {
    const std::string text(address);
    in_addr four{};
    if (inet_pton(AF_INET, text.c_str(), &four) == 1) return text;
    in6_addr six{};
    if (inet_pton(AF_INET6, text.c_str(), &six) != 1) return {};
    if (IN6_IS_ADDR_V4MAPPED(&six)) {
        char mapped[INET_ADDRSTRLEN] = "";
        inet_ntop(AF_INET, &six.s6_addr[12], mapped, sizeof mapped);
        return mapped;
    }
    std::memset(&six.s6_addr[8], 0, 8);
    char prefix[INET6_ADDRSTRLEN] = "";
    inet_ntop(AF_INET6, &six, prefix, sizeof prefix);
    return std::string(prefix) + "/64";
}

std::string forwarded_client(const std::string& peer, const std::vector<std::string>& trusted,
                             std::string_view forwarded_for) {
    bool from_trusted = false;
    for (const std::string& proxy : trusted)
        from_trusted = from_trusted || proxy == peer;
    if (!from_trusted) return peer;
    const size_t comma = forwarded_for.rfind(',');
    const std::string_view hop =
        trimmed(comma == std::string_view::npos ? forwarded_for : forwarded_for.substr(comma + 1));
    return limit_key(hop).empty() ? peer : std::string(hop);
}

} // namespace ludora::site
