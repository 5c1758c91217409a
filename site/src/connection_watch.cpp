// Keeps slow, idle and crowding clients from holding the site.
#include "connection_watch.h"

#include "client_address.h"

namespace ludora::site {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kSweepEvery = std::chrono::milliseconds(100);

int64_t now_ticks() {
    return Clock::now().time_since_epoch().count();
}

int64_t ticks(std::chrono::milliseconds span) {
    return std::chrono::duration_cast<Clock::duration>(span).count();
}

} // namespace

struct ConnectionWatch::Connection {
    int socket = -1;
    std::string key;                        // empty for a trusted proxy, which is not capped
    std::atomic<int64_t> request_began = 0; // 0 while no request is under way
    std::atomic<int64_t> idle_since = now_ticks();
    bool cut = false;
};

ConnectionWatch::ConnectionWatch(ConnectionLimits limits) : limits_(std::move(limits)) {
    sweeper_ = std::thread([this] {
        std::unique_lock lock(mutex_);
        while (!stop_wake_.wait_for(lock, kSweepEvery, [this] { return stopping_; })) {
            lock.unlock();
            sweep();
            lock.lock();
        }
    });
}

ConnectionWatch::~ConnectionWatch() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stop_wake_.notify_all();
    sweeper_.join();
}

bool ConnectionWatch::trusted(const std::string& address) const {
    for (const std::string& proxy : limits_.trusted_proxies)
        if (proxy == address) return true;
    return false;
}

bool ConnectionWatch::may_connect(const sockaddr* peer) {
    const std::string address = address_text(peer);
    if (limits_.per_address <= 0 || trusted(address)) return true;
    std::lock_guard lock(mutex_);
    const auto found = per_key_.find(limit_key(address));
    return found == per_key_.end() || found->second < limits_.per_address;
}

ConnectionWatch::Connection* ConnectionWatch::opened(int socket, const sockaddr* peer) {
    auto* connection = new Connection;
    connection->socket = socket;
    const std::string address = address_text(peer);
    if (!trusted(address)) connection->key = limit_key(address);
    std::lock_guard lock(mutex_);
    open_.insert(connection);
    ++per_key_[connection->key];
    return connection;
}

// The library calls this before it closes the socket, so the sweeper never
// cuts a number the system has handed to another connection.
void ConnectionWatch::closed(Connection* connection) {
    if (!connection) return;
    {
        std::lock_guard lock(mutex_);
        open_.erase(connection);
        if (--per_key_[connection->key] <= 0) per_key_.erase(connection->key);
    }
    delete connection;
}

void ConnectionWatch::request_began(Connection* connection) {
    if (connection) connection->request_began = now_ticks();
}

void ConnectionWatch::request_ended(Connection* connection) {
    if (!connection) return;
    connection->idle_since = now_ticks();
    connection->request_began = 0;
}

// Shutting the socket down makes the library see the connection end and
// tidy it up in its own thread.
void ConnectionWatch::sweep() {
    const int64_t now = now_ticks();
    std::lock_guard lock(mutex_);
    for (Connection* connection : open_) {
        if (connection->cut) continue;
        const int64_t began = connection->request_began;
        const bool late = began != 0 ? now - began > ticks(limits_.request_deadline)
                                     : now - connection->idle_since > ticks(limits_.idle_timeout);
        if (!late) continue;
        connection->cut = true;
        ::shutdown(connection->socket, SHUT_RDWR);
    }
}

} // namespace ludora::site
