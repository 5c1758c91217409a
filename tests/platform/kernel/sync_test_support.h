// Waiting in tests for something another thread does, without timed sleeps
// deciding the outcome: poll in short real slices, give up after a generous bound.
#pragma once

#include <chrono>
#include <thread>

template <class Condition> bool eventually(Condition condition, int limit_ms = 5000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

// A short real pause, to give a thread that should stay blocked the chance to misbehave.
inline void settle() {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}
