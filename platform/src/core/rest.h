// Whether the program is at rest: it has found its message queue empty again
// and again for a while without showing a frame (it is in the background, or
// waits for the user). At rest the layer wakes as seldom as it may: the
// multimedia timer runs its periodic callbacks in batches, every one of them
// and in their order, and the idle wait sleeps until something happens.
#pragma once

#include <cstdint>

namespace ludora {

// At rest the layer's own threads wake at most this often (layer time).
constexpr uint64_t kRestWakeUs = 500000;

bool resting();
void set_resting(bool resting);
// `wake` is called whenever the rest ends (one listener; the multimedia timer).
void when_rest_ends(void (*wake)());

} // namespace ludora
