// The C runtime's rand and srand as the programs were built with them: a linear
// congruential generator (state * 214013 + 2531011, result bits 16..30), so a
// seed deals the same boards on every system. The programs link this library
// before the C library, so their calls bind here. One state serves the whole
// process; LUDORA_SEED replaces every seed given to srand.
#include "core/settings.h"

#include <atomic>
#include <cstdint>

namespace {
std::atomic<uint32_t> g_rand_state{1};
}

extern "C" {

void srand(unsigned int seed) {
    unsigned override_seed = 0;
    if (ludora::settings::seed_override(override_seed)) seed = override_seed;
    g_rand_state.store(seed);
}

int rand(void) {
    uint32_t state = g_rand_state.load();
    uint32_t next = 0;
    do {
        next = state * 214013u + 2531011u;
    } while (!g_rand_state.compare_exchange_weak(state, next));
    return static_cast<int>((next >> 16) & 0x7FFF);
}

} // extern "C"
