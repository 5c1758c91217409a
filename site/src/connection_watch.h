// Keeps slow, idle and crowding clients from holding the site: a cap on the
// connections of one address, a deadline for every request and a time limit
// for an idle kept-alive connection.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <vector>

namespace ludora::site {

struct ConnectionLimits {
    int per_address = 32; // open connections from one address (an IPv6 /64)
    std::chrono::milliseconds request_deadline{10000}; // request line to answer sent
    std::chrono::milliseconds idle_timeout{15000};     // kept alive with no request
    std::vector<std::string> trusted_proxies;          // not capped: they carry many clients
};

class ConnectionWatch {
public:
    struct Connection;

    explicit ConnectionWatch(ConnectionLimits limits);
    ~ConnectionWatch();
    ConnectionWatch(const ConnectionWatch&) = delete;
    ConnectionWatch& operator=(const ConnectionWatch&) = delete;

    // Whether one more connection from this peer stays under its cap.
    bool may_connect(const sockaddr* peer);

    Connection* opened(int socket, const sockaddr* peer);
    void closed(Connection* connection);
    void request_began(Connection* connection);
    void request_ended(Connection* connection);

    const ConnectionLimits& limits() const { return limits_; }

private:
    bool trusted(const std::string& address) const;
    void sweep();

    const ConnectionLimits limits_;
    std::mutex mutex_; // guards open_ and per_key_; held while a socket is cut
    std::set<Connection*> open_;
    std::map<std::string, int> per_key_;
    std::condition_variable stop_wake_;
    bool stopping_ = false;
    std::thread sweeper_;
};

} // namespace ludora::site
