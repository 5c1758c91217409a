// The key queue: key-down events from the keyboard state, Shift folded in,
// a ring of 256 that reads empty when a full lap overwrites it.
#include <gtest/gtest.h>

#include <cstring>

#include "ui/keys/key_queue.h"

namespace {

// DirectInput scan codes, written out here rather than taken from a header.
constexpr int ScanA = 30;
constexpr int ScanB = 48;
constexpr int Scan2 = 3;
constexpr int ScanLeftShift = 42;
constexpr int ScanRightShift = 54;

struct Keyboard {
    unsigned char state[256] = {};
    void Down(int code) { state[code] = 0x80; }
    void Up(int code) { state[code] = 0; }
};

TEST(KeyQueueFeed, PushesEachKeyOnceWhenItGoesDown) {
    KeyQueue queue;
    Keyboard keyboard;
    keyboard.Down(ScanA);
    queue.FeedFromKeyboard(keyboard.state);
    queue.FeedFromKeyboard(keyboard.state); // still held: nothing new
    keyboard.Up(ScanA);
    queue.FeedFromKeyboard(keyboard.state);
    keyboard.Down(ScanA);
    keyboard.Down(ScanB);
    queue.FeedFromKeyboard(keyboard.state);

    EXPECT_EQ(queue.Pop(), ScanA);
    // Two keys in one feed come in scan-code order.
    EXPECT_EQ(queue.Pop(), ScanA);
    EXPECT_EQ(queue.Pop(), ScanB);
    EXPECT_EQ(queue.Pop(), 0);
}

TEST(KeyQueueFeed, ShiftAddsTheShiftedBitToEveryKeyOfTheFeed) {
    KeyQueue queue;
    Keyboard keyboard;
    keyboard.Down(ScanLeftShift);
    queue.FeedFromKeyboard(keyboard.state);
    keyboard.Down(Scan2);
    queue.FeedFromKeyboard(keyboard.state);
    // Shift itself went down with Shift held.
    EXPECT_EQ(queue.Pop(), ScanLeftShift + 0x100);
    EXPECT_EQ(queue.Pop(), 3 + 0x100);
    EXPECT_EQ(queue.Pop(), 0);

    keyboard.Up(ScanLeftShift);
    keyboard.Up(Scan2);
    queue.FeedFromKeyboard(keyboard.state);
    keyboard.Down(ScanRightShift);
    keyboard.Down(ScanA);
    queue.FeedFromKeyboard(keyboard.state);
    EXPECT_EQ(queue.Pop(), ScanA + 0x100);
    EXPECT_EQ(queue.Pop(), ScanRightShift + 0x100);
    EXPECT_EQ(queue.Pop(), 0);
}

TEST(KeyQueueFeed, OnlyTheHighBitMeansDown) {
    KeyQueue queue;
    Keyboard keyboard;
    keyboard.state[ScanA] = 0x7F;
    keyboard.state[ScanLeftShift] = 0x01;
    queue.FeedFromKeyboard(keyboard.state);
    EXPECT_EQ(queue.Pop(), 0);
    queue.FeedFromKeyboard(nullptr); // no keyboard device: nothing happens
    EXPECT_EQ(queue.Pop(), 0);
}

TEST(KeyQueueRing, KeepsOrderAcrossTheWrap) {
    KeyQueue queue;
    for (int lap = 0; lap < 3; ++lap) {
        for (int i = 1; i <= 200; ++i) {
            queue.Push(i);
        }
        for (int i = 1; i <= 200; ++i) {
            ASSERT_EQ(queue.Pop(), i) << "lap " << lap;
        }
        EXPECT_EQ(queue.Pop(), 0);
    }
}

TEST(KeyQueueRing, AFullLapOverwritesAndReadsEmpty) {
    KeyQueue queue;
    for (int i = 1; i <= 255; ++i) {
        queue.Push(i);
    }
    // 255 waiting events are all there.
    queue.Push(256);
    // The 256th push closes the ring: the queue reads as empty.
    EXPECT_EQ(queue.Pop(), 0);
    queue.Push(7);
    EXPECT_EQ(queue.Pop(), 7);
    EXPECT_EQ(queue.Pop(), 0);
}

TEST(KeyQueueRing, TwoHundredFiftyFiveEventsAllComeBack) {
    KeyQueue queue;
    for (int i = 1; i <= 255; ++i) {
        queue.Push(i);
    }
    for (int i = 1; i <= 255; ++i) {
        ASSERT_EQ(queue.Pop(), i);
    }
    EXPECT_EQ(queue.Pop(), 0);
}

TEST(KeyQueueRing, ClearDropsWhatWasWaiting) {
    KeyQueue queue;
    queue.Push(ScanA);
    queue.Push(ScanB);
    queue.Clear();
    EXPECT_EQ(queue.Pop(), 0);
    queue.Push(ScanB);
    EXPECT_EQ(queue.Pop(), ScanB);
}

} // namespace
