// A few connections that requests borrow one at a time and give back.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace ludora::site {

template <class Connection> class ConnectionPool {
public:
    // Gives its connection back to the pool when it goes.
    class Lease {
    public:
        Lease(ConnectionPool* pool, std::unique_ptr<Connection> connection)
            : pool_(pool), connection_(std::move(connection)) {}
        Lease(Lease&& other) noexcept = default;
        Lease& operator=(Lease&&) = delete;
        ~Lease() {
            if (connection_) pool_->give_back(std::move(connection_));
        }
        explicit operator bool() const { return connection_ != nullptr; }
        Connection& operator*() const { return *connection_; }
        Connection* operator->() const { return connection_.get(); }

    private:
        ConnectionPool* pool_;
        std::unique_ptr<Connection> connection_;
    };

    void add(std::unique_ptr<Connection> connection) { give_back(std::move(connection)); }

    // An empty lease when none came free in time.
    Lease borrow(std::chrono::milliseconds patience = std::chrono::seconds(10)) {
        std::unique_lock lock(mutex_);
        if (!freed_.wait_for(lock, patience, [this] { return !idle_.empty(); }))
            return Lease(this, nullptr);
        auto connection = std::move(idle_.back());
        idle_.pop_back();
        return Lease(this, std::move(connection));
    }

private:
    void give_back(std::unique_ptr<Connection> connection) {
        {
            std::lock_guard lock(mutex_);
            idle_.push_back(std::move(connection));
        }
        freed_.notify_one();
    }

    std::mutex mutex_;
    std::condition_variable freed_;
    std::vector<std::unique_ptr<Connection>> idle_;
};

} // namespace ludora::site
