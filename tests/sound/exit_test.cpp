// Exit returns promptly on every path: with chains firing, the music paused
// and resumed, a piece ending by itself and its next function loading the
// next one, whatever the threads are doing at the moment Exit comes. The
// layer's clock runs fast here, so the mixer's own thread plays the music
// through its ends while the caller's thread works.
#include <cstdio>
#include <cstdlib>
#include <random>

#include "sound_fixture.h"
#include "test_threads.h"

using namespace soundtest;

namespace {

// Read once, when the layer's clock starts: before anything in this program.
const bool g_fastClock = [] { return setenv("LUDORA_TIME_SCALE", "50", 0) == 0; }();

std::string g_nextMusic;
std::atomic<int> g_nextCalls{0};
std::atomic<int> g_nextLoads{0};

// Queues the next piece, looping, whenever a piece ends; it takes a moment
// to choose, as a program's own function might.
void QueueNext(unsigned long id) {
    int calls = ++g_nextCalls;
    std::this_thread::sleep_for(std::chrono::microseconds(calls * 7919 % 1500));
    if (!g_Sound.LoadStream(g_nextMusic.data(), id + 1)) return;
    ++g_nextLoads;
    g_Sound.PlayStream(4);
}

} // namespace

TEST(ExitUnderWay, ExitReturnsPromptlyWhateverTheThreadsAreDoing) {
    ASSERT_TRUE(g_fastClock);
    Watchdog watchdog(std::chrono::seconds(240));
    // The clock runs fast: 100 ms of the layer pass in well under 100 ms.
    uint32_t start = LudoraClockMs();
    auto real = std::chrono::steady_clock::now();
    while (LudoraClockMs() - start < 100)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    ASSERT_LT(std::chrono::steady_clock::now() - real, std::chrono::milliseconds(50));

    std::string clip = WriteTemp("clip.wav", Wav(1, 22050, 16, Pattern(2205, 1)));
    std::string tail = WriteTemp("tail.wav", Wav(1, 22050, 16, Pattern(22050, 1)));
    // A piece of a third of a second that ends by itself, and the next one.
    std::string music = WriteTemp("music.wav", Wav(2, 22050, 16, Pattern(7350, 2)));
    g_nextMusic = WriteTemp("next.wav", Wav(2, 22050, 16, Pattern(22050, 2)));
    g_Sound.SetStreamNextFunc(QueueNext);

    std::mt19937 random(20020108);
    auto pause = [&](int most_us) {
        std::this_thread::sleep_for(std::chrono::microseconds(random() % (most_us + 1)));
    };
    int handOvers = 0;
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        g_nextCalls = 0;
        g_nextLoads = 0;
        ASSERT_EQ(1, g_Sound.Init(nullptr, 16));
        ASSERT_EQ(1, g_Sound.LoadSample(clip.data(), 10));
        ASSERT_EQ(1, g_Sound.LoadSample(tail.data(), 11));
        SNDSample::ChainSample(g_Sound.FindSampleID(10), g_Sound.FindSampleID(11));
        g_Sound.PlaySample(10, 65535, 32768);
        ASSERT_EQ(1, g_Sound.LoadStream(music.data(), 1));
        ZQSound::SetStreamVolume(0x7FFF);
        g_Sound.PlayStream(0);
        pause(2000);
        g_Sound.PauseStream();
        pause(300);
        g_Sound.PauseStream();
        g_Sound.PlaySample(10, 40000, 20000);
        g_Sound.FadeMusicIn(20);
        pause(6000);

        Helper exit([] { g_Sound.Exit(); });
        ASSERT_TRUE(exit.Join(std::chrono::seconds(5)));
        handOvers += g_nextLoads > 0;
        EXPECT_EQ(nullptr, ZQSound::GetStreamInfoPtr()->pSample.load());
        EXPECT_EQ(0u, ZQSound::GetStreamInfoPtr()->dwFlags.load());
        EXPECT_EQ(nullptr, ZQSound::g_FillThread.load());
        EXPECT_EQ(0, ZQSound::g_nCallBackThreadActive.load());
        EXPECT_EQ(nullptr, ZQSound::GetDSObject());
    }
    // Some rounds met the end of the first piece before Exit came (on a
    // quiet machine about a third; the rest ended it themselves).
    printf("%d of 200 rounds started the next piece before Exit\n", handOvers);
    EXPECT_GT(handOvers, 0);
    ZQSound::ClearStreamNextStreamFunc();
    RemoveTempFiles();
}
