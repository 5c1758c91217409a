#include "ui/keys/key_queue.h"

KeyQueue g_KeyQueue;

namespace {
constexpr int32_t RingSize = 256;
constexpr int LeftShift = 42;
constexpr int RightShift = 54;

bool IsDown(unsigned char state) {
    return (state & 0x80) != 0;
}
} // namespace

void KeyQueue::Push(int32_t event) {
    ring[writeIndex] = event;
    // A full ring is overwritten without warning and then reads as empty;
    // kept as designed (nobody types 256 keys between two frames).
    writeIndex = (writeIndex + 1) % RingSize;
}

int32_t KeyQueue::Pop() {
    if (readIndex == writeIndex) {
        return 0;
    }
    const int32_t event = ring[readIndex];
    readIndex = (readIndex + 1) % RingSize;
    return event;
}

void KeyQueue::Clear() {
    readIndex = 0;
    writeIndex = 0;
}

void KeyQueue::FeedFromKeyboard(const unsigned char* state) {
    if (!state) {
        return;
    }
    const int32_t shift = IsDown(state[LeftShift]) || IsDown(state[RightShift]) ? KeyShifted : 0;
    for (int code = 0; code < 256; ++code) {
        const bool down = IsDown(state[code]);
        if (down && !wasDown[code]) {
            Push(code + shift);
        }
        wasDown[code] = down ? 1 : 0;
    }
}
