// What a DirectSound object shares with the buffers it made: they stay safe to
// call after the object is released (and then fall silent).
#pragma once

#include "dsound.h"
#include "dsound/buffer_voice.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace ludora::audio {

class PrimaryBuffer;

struct DeviceState {
    std::atomic<DWORD> level{DSSCL_NORMAL};
    std::mutex mutex;                               // guards the two below
    PrimaryBuffer* primary = nullptr;               // the one primary buffer while it lives
    std::vector<std::weak_ptr<BufferVoice>> voices; // every secondary buffer made here
};

} // namespace ludora::audio
