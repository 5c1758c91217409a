// LUDORA_PACING=off, for measuring what the pacing saves: a program that
// finds its queue empty again and again never waits.
#include "window/present.h"
#include "window/window_system.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <vector>

using namespace ludora::window;

namespace {

// Before main: the setting is read once, at the first peek of the process.
const bool g_pacing_off = setenv("LUDORA_PACING", "off", 1) == 0;

} // namespace

TEST(Unpaced, EmptyPeeksNeverWait) {
    ASSERT_TRUE(g_pacing_off);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    const unsigned before = idle_waits();
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(idle_waits(), before);
    // Frames still go out, every one of them.
    const uint64_t frames = frames_presented();
    const std::vector<uint32_t> picture(2 * 2, 0x00112233u);
    present_whole_frame(nullptr, picture.data(), 2, 2, 2, 0);
    present_whole_frame(nullptr, picture.data(), 2, 2, 2, 0);
    EXPECT_EQ(frames_presented(), frames + 2);
}
