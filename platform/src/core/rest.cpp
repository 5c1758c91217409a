#include "core/rest.h"

#include <atomic>

namespace ludora {

namespace {
std::atomic<bool> g_resting{false};
std::atomic<void (*)()> g_on_rest_end{nullptr};
} // namespace

bool resting() {
    return g_resting.load(std::memory_order_relaxed);
}

void set_resting(bool resting) {
    if (g_resting.load(std::memory_order_relaxed) == resting) return;
    if (g_resting.exchange(resting) && !resting) {
        if (void (*wake)() = g_on_rest_end.load()) wake();
    }
}

void when_rest_ends(void (*wake)()) {
    g_on_rest_end = wake;
}

} // namespace ludora
