// What the layer writes to LUDORA_FRAME_LOG for the frames a program presents,
// and the idle wait of PeekMessageA with pacing on (the default). The log is
// asked for before the first frame, as a program's environment would.
#include "window/frame_log.h"
#include "window/present.h"
#include "window/window_system.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

using namespace ludora::window;

namespace {

std::string log_path() {
    // One file a process: ctest runs each case in a process of its own.
    static const std::string path =
        ::testing::TempDir() + "presentation_log_" + std::to_string(getpid()) + ".log";
    return path;
}

// Before main: the log is decided at the first frame of the process.
const bool g_log_asked = [] {
    std::remove(log_path().c_str());
    return setenv("LUDORA_FRAME_LOG", log_path().c_str(), 1) == 0;
}();

struct Line {
    std::vector<std::string> words;
};

std::vector<Line> read_log() {
    std::vector<Line> lines;
    std::ifstream in(log_path());
    for (std::string text; std::getline(in, text);) {
        Line line;
        std::istringstream words(text);
        for (std::string word; words >> word;)
            line.words.push_back(word);
        lines.push_back(line);
    }
    return lines;
}

// FNV-1a over each pixel's 24-bit colour taken as one value, rows left to
// right, top to bottom, as the log's format says.
std::string expected_hash(const std::vector<uint32_t>& pixels) {
    uint32_t hash = 2166136261u;
    for (uint32_t pixel : pixels)
        hash = (hash ^ (pixel & 0xFFFFFFu)) * 16777619u;
    char text[16];
    std::snprintf(text, sizeof text, "%08x", hash);
    return text;
}

void present(const std::vector<uint32_t>& pixels, int width, int height) {
    present_whole_frame(nullptr, pixels.data(), width, height, width, 0);
}

} // namespace

TEST(FrameLog, EveryPresentationUpToTheLimitWithItsTimeAndPicture) {
    ASSERT_TRUE(g_log_asked);
    const std::vector<uint32_t> cleared(4 * 3, 0xFF000000u); // the top byte is not colour
    std::vector<uint32_t> picture(4 * 3, 0x00102030u);
    picture[5] = 0x00FFFFFFu;
    std::vector<uint32_t> other = picture;
    other[11] = 0x00000001u;
    // A picture on a wider canvas: only the visible width counts.
    std::vector<uint32_t> padded(6 * 3, 0x00ABCDEFu);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            padded[y * 6 + x] = picture[y * 4 + x];

    present(cleared, 4, 3);
    present(picture, 4, 3);
    present(picture, 4, 3);
    present(other, 4, 3);
    present_whole_frame(nullptr, padded.data(), 4, 3, 6, 0);

    std::vector<Line> lines = read_log();
    ASSERT_EQ(lines.size(), 6u);
    ASSERT_EQ(lines[0].words.size(), 2u);
    EXPECT_EQ(lines[0].words[0], "start");
    const double start = std::atof(lines[0].words[1].c_str());
    EXPECT_GT(start, 0.0);
    double previous = start;
    for (size_t i = 1; i < lines.size(); ++i) {
        ASSERT_GE(lines[i].words.size(), 4u) << i;
        EXPECT_EQ(lines[i].words[0], "frame");
        EXPECT_EQ(lines[i].words[1], std::to_string(i));
        const double at = std::atof(lines[i].words[2].c_str());
        // The start is kept to the host's tick (10 ms): the frame cannot be earlier than that.
        EXPECT_GE(at + 10.0, previous) << i;
        previous = at;
    }
    EXPECT_EQ(lines[1].words.size(), 5u);
    EXPECT_EQ(lines[1].words.back(), "blank");
    EXPECT_EQ(lines[1].words[3], expected_hash(cleared));
    for (size_t i = 2; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].words.size(), 4u) << "a picture of several colours is not blank";
    EXPECT_EQ(lines[2].words[3], expected_hash(picture));
    EXPECT_EQ(lines[3].words[3], lines[2].words[3]);
    EXPECT_EQ(lines[4].words[3], expected_hash(other));
    EXPECT_NE(lines[4].words[3], lines[2].words[3]);
    EXPECT_EQ(lines[5].words[3], lines[2].words[3]);

    // The log stops after its last frame; presentation goes on.
    for (int i = 5; i < kLoggedFrames + 20; ++i)
        present(i % 2 ? picture : other, 4, 3);
    lines = read_log();
    EXPECT_EQ(lines.size(), size_t(kLoggedFrames) + 1);
    EXPECT_EQ(lines.back().words[1], std::to_string(kLoggedFrames));
}

TEST(IdleWait, ASecondEmptyPeekWithNoFrameBetweenWaits) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    // The queue is empty and no frame has come since the peek above.
    const unsigned before = idle_waits();
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(idle_waits(), before + 2);

    // A frame between two empty peeks: the program is drawing, not idle.
    const std::vector<uint32_t> picture(2 * 2, 0x00445566u);
    present(picture, 2, 2);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(idle_waits(), before + 2);
    present(picture, 2, 2);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(idle_waits(), before + 2);

    // A message waiting is taken at once, without a wait.
    PostMessageA(nullptr, WM_USER + 1, 7, 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 1));
    EXPECT_EQ(msg.wParam, WPARAM(7));
    EXPECT_EQ(idle_waits(), before + 2);
}
