// Who a request comes from: the peer's address as text, the key the limits
// count it under, and the client a trusted reverse proxy names.
#pragma once

#include <string>
#include <string_view>
#include <sys/socket.h>
#include <vector>

namespace ludora::site {

// "192.0.2.7" or "2001:db8::1"; an IPv4 address mapped into IPv6 is written as IPv4.
std::string address_text(const sockaddr* address);

// The key a limit counts an address under: an IPv4 address itself, an IPv6
// address's /64, since one home or host gets a whole /64. Empty when the text
// is no address.
std::string limit_key(std::string_view address);

// The client behind a trusted proxy: the last hop of the last X-Forwarded-For
// line, which that proxy appended. The peer itself when the peer is not
// trusted or the hop is no address.
std::string forwarded_client(const std::string& peer, const std::vector<std::string>& trusted,
                             std::string_view forwarded_for);

} // namespace ludora::site
