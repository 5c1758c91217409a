// Streamed music: segment sizes, gap-free looping, the end of a non-looping
// file, stopping, pausing and fading.
#include <atomic>
#include <thread>
#include <vector>

#include "sound_fixture.h"

using namespace soundtest;

namespace {

std::atomic<int> g_nextCalls{0};
std::atomic<unsigned long> g_nextId{0};

void CountNext(unsigned long id) {
    g_nextId = id;
    ++g_nextCalls;
}

std::vector<int16_t> Samples16(const Bytes& data) {
    std::vector<int16_t> out(data.size() / 2);
    memcpy(out.data(), data.data(), out.size() * 2);
    return out;
}

} // namespace

class MusicStreamTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        g_nextCalls = 0;
        g_nextId = 0;
        uint32_t rate = 0;
        uint16_t channels = 0, bits = 0;
        LudoraAudioFormat(&rate, &channels, &bits);
        ASSERT_EQ(22050u, rate); // the library's primary format
    }

    void TearDown() override {
        ZQSound::ClearStreamNextStreamFunc();
        SoundTest::TearDown();
    }

    _SNDStream& Stream() { return *ZQSound::GetStreamInfoPtr(); }

    int LoadMusic(const std::string& name, const Bytes& file, unsigned long id) {
        std::string path = WriteTemp(name, file);
        return g_Sound.LoadStream(path.data(), id);
    }

    // Plays one segment and waits until the fill thread has served the
    // boundary at its end.
    std::vector<int16_t> PlaySegment(uint32_t deviceFrames) {
        DWORD before = Stream().dwBytesLeft;
        std::vector<int16_t> out = Pump(deviceFrames);
        EXPECT_TRUE(WaitFor(
            [&] { return Stream().dwBytesLeft != before || Stream().pSample.load() == nullptr; }));
        return out;
    }

    Bytes Peek(DWORD offset, DWORD bytes) {
        SNDSample* sample = Stream().pSample;
        LPVOID first = nullptr, second = nullptr;
        DWORD firstBytes = 0, secondBytes = 0;
        EXPECT_EQ(DS_OK, sample->lpBuffer->Lock(offset, bytes, &first, &firstBytes, &second,
                                                &secondBytes, 0));
        Bytes out((BYTE*)first, (BYTE*)first + firstBytes);
        sample->lpBuffer->Unlock(first, 0, second, 0);
        return out;
    }

    void WaitForTeardown() {
        ASSERT_TRUE(WaitFor([&] { return Stream().pSample.load() == nullptr; }));
        HANDLE thread = ZQSound::g_FillThread;
        if (thread) {
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, INFINITE));
        }
    }
};

TEST_F(MusicStreamTest, SegmentsAreAQuarterSecondOfWholeFrames) {
    ASSERT_EQ(1, LoadMusic("m16.wav", PcmWav(2, 22050, 16, Pattern16(22050 * 3, 2)), 0));
    EXPECT_EQ(22052u, Stream().dwSegmentBytes);
    EXPECT_EQ(176416u, Stream().dwBufferBytes);
    EXPECT_EQ(DWORD(STREAM_LOADED | STREAM_FILLING), Stream().dwFlags.load());
    EXPECT_EQ(44u, Stream().dwDataStart);
    EXPECT_EQ(22050u * 3 * 4 - 176416, Stream().dwBytesLeft.load());
    EXPECT_EQ(1, g_Sound.StopStream()); // loaded, not playing: nothing to stop
    g_Sound.Exit();

    ASSERT_EQ(1, g_Sound.Init(nullptr, 4));
    ASSERT_EQ(1, LoadMusic("m8.wav", PcmWav(1, 11025, 8, Pattern8(11025 * 3, 1)), 0));
    EXPECT_EQ(2756u, Stream().dwSegmentBytes);
    EXPECT_EQ(2756u * 8, Stream().dwBufferBytes);
}

TEST_F(MusicStreamTest, ALoopingStreamRepeatsTheFileExactly) {
    const uint32_t frames = 22050 * 3;
    Bytes data = Pattern16(frames, 2);
    ASSERT_EQ(1, LoadMusic("loop.wav", PcmWav(2, 22050, 16, data), 3));
    EXPECT_EQ(1, g_Sound.PlayStream(4));
    EXPECT_EQ(1, g_Sound.PlayStream(4)); // already playing: no restart

    std::vector<int16_t> heard;
    for (int segment = 0; segment < 32; ++segment) { // eight seconds
        std::vector<int16_t> out = PlaySegment(22052 / 4);
        ASSERT_EQ(22052u / 2, out.size());
        heard.insert(heard.end(), out.begin(), out.end());
    }
    std::vector<int16_t> file = Samples16(data);
    for (size_t i = 0; i < heard.size(); ++i)
        ASSERT_EQ(file[i % file.size()], heard[i]) << "sample " << i;
    EXPECT_EQ(0, g_nextCalls.load());
}

TEST_F(MusicStreamTest, ANonLoopingSixteenBitStreamEndsInZeroSilenceAndTearsDown) {
    const uint32_t frames = 57330; // 2.6 seconds
    Bytes data = Pattern16(frames, 2);
    ZQSound::ClearStreamNextStreamFunc();
    EXPECT_EQ(nullptr, g_Sound.SetStreamNextFunc(CountNext));
    EXPECT_EQ(CountNext, g_Sound.GetStreamNextFunc());
    ASSERT_EQ(1, LoadMusic("once.wav", PcmWav(2, 22050, 16, data), 9));
    ASSERT_EQ(1, g_Sound.PlayStream(0));

    std::vector<int16_t> heard;
    for (int segment = 0; segment < 3; ++segment) {
        std::vector<int16_t> out = PlaySegment(22052 / 4);
        heard.insert(heard.end(), out.begin(), out.end());
    }
    // Segment 2 now holds the last 8800 bytes of music, then silence.
    ASSERT_EQ(0u, Stream().dwBytesLeft.load());
    Bytes tail = Peek(2 * 22052, 22052);
    EXPECT_EQ(0, memcmp(tail.data(), data.data() + 220520, 8800));
    for (size_t i = 8800; i < tail.size(); ++i)
        ASSERT_EQ(0, tail[i]) << "byte " << i;

    // At the next boundary the buffer stops and the stream goes.
    std::vector<int16_t> out = Pump(22052 / 4);
    heard.insert(heard.end(), out.begin(), out.end());
    WaitForTeardown();
    EXPECT_EQ(1, g_nextCalls.load());
    EXPECT_EQ(9u, g_nextId.load());
    EXPECT_EQ(0u, Stream().dwFlags.load());
    EXPECT_EQ(0u, Stream().dwSegmentBytes);
    EXPECT_EQ(0u, ZQSound::GetStreamID());

    std::vector<int16_t> file = Samples16(data);
    for (size_t i = 0; i < heard.size(); ++i)
        ASSERT_EQ(file[i], heard[i]) << "sample " << i;
    for (int16_t value : Pump(4000))
        ASSERT_EQ(0, value);
    EXPECT_EQ(1, g_nextCalls.load());
}

TEST_F(MusicStreamTest, ANonLoopingEightBitStreamEndsInMidpointSilence) {
    const uint32_t bytes = 2756 * 8 + 2756 + 1000;
    ASSERT_EQ(1, LoadMusic("once8.wav", PcmWav(1, 11025, 8, Pattern8(bytes, 1)), 0));
    ASSERT_EQ(1, g_Sound.PlayStream(0));
    PlaySegment(2756 * 2);
    PlaySegment(2756 * 2);
    ASSERT_EQ(0u, Stream().dwBytesLeft.load());
    Bytes tail = Peek(2756, 2756);
    for (size_t i = 1000; i < tail.size(); ++i)
        ASSERT_EQ(0x80, tail[i]) << "byte " << i;
    Pump(2756 * 2);
    WaitForTeardown();
}

TEST_F(MusicStreamTest, StopStreamTearsDownOnceAndCallsTheNextFunctionOnce) {
    ASSERT_EQ(1, LoadMusic("loop.wav", PcmWav(2, 22050, 16, Pattern16(22050 * 3, 2)), 12));
    g_Sound.SetStreamNextFunc(CountNext);
    ASSERT_EQ(1, g_Sound.PlayStream(4));
    PlaySegment(22052 / 4);
    Pump(1000);
    DWORD play = 0, write = 0;
    Stream().pSample.load()->lpBuffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(1, g_Sound.PlayStream(4));
    DWORD again = 0;
    Stream().pSample.load()->lpBuffer->GetCurrentPosition(&again, &write);
    EXPECT_EQ(play, again);

    EXPECT_EQ(1, g_Sound.StopStream());
    EXPECT_EQ(nullptr, Stream().pSample.load());
    EXPECT_EQ(nullptr, ZQSound::g_FillThread.load());
    EXPECT_EQ(0u, Stream().dwFlags.load());
    EXPECT_EQ(nullptr, Stream().hFile);
    EXPECT_EQ(1, g_nextCalls.load());
    EXPECT_EQ(12u, g_nextId.load());
    EXPECT_EQ(ZQSound::g_SampleList, ZQSound::g_pLastSample - 1);
    EXPECT_EQ(0u, ZQSound::g_SampleList[0].dwFlags.load());

    EXPECT_EQ(1, g_Sound.StopStream());
    EXPECT_EQ(1, g_nextCalls.load());
    for (int16_t value : Pump(2000))
        ASSERT_EQ(0, value);
}

TEST_F(MusicStreamTest, APausedStreamKeepsItsPlaceAndCanStillBeStopped) {
    Bytes data = Pattern16(22050 * 3, 2);
    ASSERT_EQ(1, LoadMusic("loop.wav", PcmWav(2, 22050, 16, data), 1));
    g_Sound.SetStreamNextFunc(CountNext);
    ASSERT_EQ(1, g_Sound.PlayStream(4));
    std::vector<int16_t> heard = PlaySegment(22052 / 4);
    std::vector<int16_t> part = Pump(700);
    heard.insert(heard.end(), part.begin(), part.end());

    EXPECT_EQ(1, g_Sound.PauseStream());
    EXPECT_TRUE(Stream().dwFlags & STREAM_PAUSED);
    for (int16_t value : Pump(30000))
        ASSERT_EQ(0, value);
    // Give a wrongly woken fill thread time to tear down; it must not.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_NE(nullptr, Stream().pSample.load());
    EXPECT_TRUE(Stream().dwFlags & STREAM_FILLING);

    EXPECT_EQ(1, g_Sound.PauseStream());
    EXPECT_FALSE(Stream().dwFlags & STREAM_PAUSED);
    part = Pump(22052 / 4 - 700);
    heard.insert(heard.end(), part.begin(), part.end());
    std::vector<int16_t> file = Samples16(data);
    for (size_t i = 0; i < heard.size(); ++i)
        ASSERT_EQ(file[i], heard[i]) << "sample " << i;

    EXPECT_EQ(1, g_Sound.PauseStream());
    EXPECT_EQ(1, g_Sound.StopStream());
    EXPECT_EQ(nullptr, Stream().pSample.load());
    EXPECT_EQ(1, g_nextCalls.load());
}

TEST_F(MusicStreamTest, FadeMusicInRampsUpToTheMusicVolume) {
    ASSERT_EQ(1, LoadMusic("loop.wav", PcmWav(2, 22050, 16, Pattern16(22050 * 3, 2)), 0));
    ZQSound::SetStreamVolume(0x7FFF);
    EXPECT_EQ(0x7FFF, ZQSound::GetStreamVolume());
    ASSERT_EQ(1, g_Sound.PlayStream(4));

    std::atomic<bool> fading{true};
    std::vector<int> seen;
    std::thread clock([&] {
        while (fading) {
            seen.push_back(ZQSound::GetStreamVolume());
            LudoraAdvanceClock(5);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    uint32_t start = LudoraClockMs();
    g_Sound.FadeMusicIn(300);
    uint32_t took = LudoraClockMs() - start;
    fading = false;
    clock.join();

    EXPECT_EQ(0x8000, g_Sound.m_nMusicVolume.load());
    EXPECT_EQ(0x8000, ZQSound::GetStreamVolume());
    EXPECT_GE(took, 300u);
    EXPECT_LE(took, 330u);
    ASSERT_GT(seen.size(), 10u);
    for (size_t i = 2; i < seen.size(); ++i) {
        EXPECT_GE(seen[i], seen[i - 1]);
        EXPECT_LE(seen[i], 0x8000);
    }

    g_Sound.FadeMusicOut(0);
    EXPECT_EQ(0, ZQSound::GetStreamVolume());
}

TEST_F(MusicStreamTest, RefusalsLeaveNothingBehind) {
    // A loop shorter than a segment.
    Bytes data = Pattern16(22050 * 3, 2);
    Bytes looped = Riff({FmtChunk(1, 2, 22050, 16), SmplChunk(1, 0, 100), DataChunk(data)});
    EXPECT_EQ(0, LoadMusic("shortloop.wav", looped, 0));
    EXPECT_EQ(0, LoadMusic("garbage.wav", Bytes(100, 7), 0));
    EXPECT_EQ(nullptr, ZQSound::g_FillThread.load());
    EXPECT_EQ(nullptr, Stream().pSample.load());
    for (HANDLE event : ZQSound::g_NotifyEvents)
        EXPECT_EQ(nullptr, event);
    EXPECT_EQ(0u, ZQSound::g_SampleList[0].dwFlags.load());

    // Music switched off: nothing loads, and switching off stops a stream.
    ASSERT_EQ(1, LoadMusic("loop.wav", PcmWav(2, 22050, 16, data), 0));
    ASSERT_EQ(1, g_Sound.PlayStream(4));
    g_Sound.EnableMusic(0);
    EXPECT_EQ(nullptr, Stream().pSample.load());
    EXPECT_EQ(0, LoadMusic("loop.wav", PcmWav(2, 22050, 16, data), 0));
    g_Sound.EnableMusic(1);

    // Loaded and never played: Exit still ends the thread and frees it all.
    ASSERT_EQ(1, LoadMusic("loop.wav", PcmWav(2, 22050, 16, data), 0));
}

TEST_F(MusicStreamTest, MusicShorterThanTheBufferLoopsWithoutGaps) {
    const uint32_t frames = 3000; // well under a segment
    Bytes data = Pattern16(frames, 2);
    ASSERT_EQ(1, LoadMusic("tiny.wav", PcmWav(2, 22050, 16, data), 0));
    ASSERT_EQ(1, g_Sound.PlayStream(4));
    std::vector<int16_t> heard;
    for (int segment = 0; segment < 12; ++segment) {
        std::vector<int16_t> out = PlaySegment(22052 / 4);
        heard.insert(heard.end(), out.begin(), out.end());
    }
    std::vector<int16_t> file = Samples16(data);
    for (size_t i = 0; i < heard.size(); ++i)
        ASSERT_EQ(file[i % file.size()], heard[i]) << "sample " << i;
}
