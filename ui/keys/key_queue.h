// The ring of key-down events that text fields read: a DirectInput scan code
// in bits 0..7, plus 0x100 when a Shift key was down.
#pragma once

#include <cstdint>

constexpr int32_t KeyShifted = 0x100;

class KeyQueue {
public:
    virtual ~KeyQueue() = default;
    virtual void Push(int32_t event);
    virtual int32_t Pop(); // 0 when empty
    virtual void Clear();
    // Pushes every key of the 256-byte state (high bit = down) that was up at
    // the previous feed.
    virtual void FeedFromKeyboard(const unsigned char* state);

private:
    int32_t ring[256] = {};
    int32_t readIndex = 0;
    int32_t writeIndex = 0;
    unsigned char wasDown[256] = {};
};

extern KeyQueue g_KeyQueue;
