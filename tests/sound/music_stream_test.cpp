// Streamed music: segment sizes, gap-free looping, the end of a non-looping
// file, stopping, pausing and fading.
#include <algorithm>
#include <atomic>

#include "sound_fixture.h"

using namespace soundtest;

namespace {

std::atomic<int> g_nextCalls{0};
std::atomic<unsigned long> g_nextId{0};

void CountNext(unsigned long id) {
    g_nextId = id;
    ++g_nextCalls;
}

const uint32_t kSegmentFrames = 22052 / 4; // 16-bit stereo at 22050 Hz

} // namespace

class MusicStreamTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        g_nextCalls = 0;
        g_Sound.SetStreamNextFunc(CountNext);
    }

    void TearDown() override {
        ZQSound::ClearStreamNextStreamFunc();
        SoundTest::TearDown();
    }

    _SNDStream& Stream() { return *ZQSound::GetStreamInfoPtr(); }

    int LoadMusic(const Bytes& file, unsigned long id = 0) {
        return g_Sound.LoadStream(WriteTemp("music.wav", file).data(), id);
    }

    // Plays device frames up to the next segment boundary and waits until the
    // fill thread has served it; the heard samples are appended.
    void PlaySegments(int count, std::vector<int16_t>& heard, uint32_t frames = kSegmentFrames) {
        for (int i = 0; i < count; ++i) {
            DWORD before = Stream().dwBytesLeft;
            std::vector<int16_t> out = Pump(frames);
            heard.insert(heard.end(), out.begin(), out.end());
            ASSERT_TRUE(WaitFor(
                [&] { return Stream().dwBytesLeft != before || !Stream().pSample.load(); }));
            // The count moves more than once in a refill (a short file loops
            // within a segment); the refill holds the library's lock
            // throughout, which this call waits for.
            g_Sound.GetStreamID();
        }
    }

    Bytes Peek(DWORD offset, DWORD bytes) {
        LPDIRECTSOUNDBUFFER buffer = Stream().pSample.load()->lpBuffer;
        LPVOID first = nullptr, second = nullptr;
        DWORD size = 0, secondSize = 0;
        EXPECT_EQ(DS_OK, buffer->Lock(offset, bytes, &first, &size, &second, &secondSize, 0));
        Bytes out((BYTE*)first, (BYTE*)first + size);
        buffer->Unlock(first, 0, second, 0);
        return out;
    }

    void ExpectTornDown() {
        ASSERT_TRUE(WaitFor([&] { return !Stream().pSample.load(); }));
        if (HANDLE thread = ZQSound::g_FillThread) {
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, INFINITE));
        }
        EXPECT_EQ(0u, Stream().dwFlags.load());
        EXPECT_EQ(nullptr, Stream().hFile);
        EXPECT_EQ(0u, Slot(0)->dwFlags.load());
        for (int16_t value : Pump(2000))
            ASSERT_EQ(0, value);
    }
};

TEST_F(MusicStreamTest, SegmentsAreAQuarterSecondOfWholeFrames) {
    ASSERT_EQ(1, LoadMusic(Wav(2, 22050, 16, Pattern(22050 * 3, 2))));
    EXPECT_EQ(22052u, Stream().dwSegmentBytes);
    EXPECT_EQ(176416u, Stream().dwBufferBytes);
    EXPECT_EQ(DWORD(STREAM_LOADED | STREAM_FILLING), Stream().dwFlags.load());
    EXPECT_EQ(22050u * 3 * 4 - 176416, Stream().dwBytesLeft.load());
    g_Sound.Exit(); // a stream loaded and never played goes too

    ASSERT_EQ(1, g_Sound.Init(nullptr, 4));
    ASSERT_EQ(1, LoadMusic(Wav(1, 11025, 8, Pattern(11025 * 3, 1, 8))));
    EXPECT_EQ(2756u, Stream().dwSegmentBytes);
}

TEST_F(MusicStreamTest, ALoopingStreamRepeatsTheFileExactly) {
    // Three seconds, and a file shorter than one segment.
    for (uint32_t frames : {22050u * 3, 3000u}) {
        Bytes data = Pattern(frames, 2);
        ASSERT_EQ(1, LoadMusic(Wav(2, 22050, 16, data), 3));
        ASSERT_EQ(1, g_Sound.PlayStream(4));
        std::vector<int16_t> heard;
        PlaySegments(32, heard); // eight seconds
        ASSERT_EQ(32u * kSegmentFrames * 2, heard.size());
        std::vector<int16_t> file = Samples16(data);
        for (size_t i = 0; i < heard.size(); ++i)
            ASSERT_EQ(file[i % file.size()], heard[i]) << "sample " << i;
        EXPECT_EQ(1, g_Sound.StopStream());
    }
}

TEST_F(MusicStreamTest, ANonLoopingStreamEndsInSilenceAtTheNextBoundary) {
    // 16-bit: the data runs out 8800 bytes into segment 2.
    Bytes data = Pattern(57330, 2);
    ASSERT_EQ(1, LoadMusic(Wav(2, 22050, 16, data), 9));
    ASSERT_EQ(1, g_Sound.PlayStream(0));
    std::vector<int16_t> heard;
    PlaySegments(3, heard);
    ASSERT_EQ(0u, Stream().dwBytesLeft.load());
    Bytes tail = Peek(2 * 22052, 22052);
    EXPECT_EQ(0, memcmp(tail.data(), data.data() + 220520, 8800));
    EXPECT_EQ(Bytes(22052 - 8800, 0), Bytes(tail.begin() + 8800, tail.end()));
    PlaySegments(1, heard);
    std::vector<int16_t> file = Samples16(data);
    for (size_t i = 0; i < heard.size(); ++i)
        ASSERT_EQ(file[i], heard[i]) << "sample " << i;
    ExpectTornDown();
    EXPECT_EQ(1, g_nextCalls.load());
    EXPECT_EQ(9u, g_nextId.load());

    // 8-bit mono at 11025 Hz: 1000 bytes into segment 1, then 0x80.
    ASSERT_EQ(1, LoadMusic(Wav(1, 11025, 8, Pattern(2756 * 9 + 1000, 1, 8))));
    ASSERT_EQ(1, g_Sound.PlayStream(0));
    PlaySegments(2, heard, 2756 * 2);
    ASSERT_EQ(0u, Stream().dwBytesLeft.load());
    tail = Peek(2756, 2756);
    EXPECT_EQ(Bytes(2756 - 1000, 0x80), Bytes(tail.begin() + 1000, tail.end()));
    PlaySegments(1, heard, 2756 * 2);
    ExpectTornDown();
}

TEST_F(MusicStreamTest, StopStreamTearsDownOnceAndPlayingTwiceStartsOnce) {
    ASSERT_EQ(1, LoadMusic(Wav(2, 22050, 16, Pattern(22050 * 3, 2)), 12));
    ASSERT_EQ(1, g_Sound.PlayStream(4));
    std::vector<int16_t> heard;
    PlaySegments(1, heard);
    Pump(1000);
    SNDSample* sample = Stream().pSample;
    DWORD cursor = PlayCursor(sample);
    EXPECT_EQ(1, g_Sound.PlayStream(4));
    EXPECT_EQ(cursor, PlayCursor(sample));

    EXPECT_EQ(1, g_Sound.StopStream());
    EXPECT_EQ(nullptr, ZQSound::g_FillThread.load());
    EXPECT_EQ(1, g_nextCalls.load());
    EXPECT_EQ(12u, g_nextId.load());
    ExpectTornDown();
    EXPECT_EQ(1, g_Sound.StopStream());
    EXPECT_EQ(1, g_nextCalls.load());
}

TEST_F(MusicStreamTest, APausedStreamKeepsItsPlaceAndCanStillBeStopped) {
    Bytes data = Pattern(22050 * 3, 2);
    ASSERT_EQ(1, LoadMusic(Wav(2, 22050, 16, data)));
    ASSERT_EQ(1, g_Sound.PlayStream(4));
    std::vector<int16_t> heard;
    PlaySegments(1, heard);
    std::vector<int16_t> part = Pump(700);
    heard.insert(heard.end(), part.begin(), part.end());

    EXPECT_EQ(1, g_Sound.PauseStream());
    for (int16_t value : Pump(30000))
        ASSERT_EQ(0, value);
    // Time for a wrongly woken fill thread to tear down; it must not.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_NE(nullptr, Stream().pSample.load());
    EXPECT_EQ(DWORD(STREAM_LOADED | STREAM_PLAYING | STREAM_LOOP | STREAM_PAUSED | STREAM_FILLING |
                    STREAM_PRIMED),
              Stream().dwFlags.load());

    EXPECT_EQ(1, g_Sound.PauseStream());
    PlaySegments(1, heard, kSegmentFrames - 700);
    std::vector<int16_t> file = Samples16(data);
    for (size_t i = 0; i < heard.size(); ++i)
        ASSERT_EQ(file[i], heard[i]) << "sample " << i;

    EXPECT_EQ(1, g_Sound.PauseStream());
    EXPECT_EQ(1, g_Sound.StopStream());
    ExpectTornDown();
    EXPECT_EQ(1, g_nextCalls.load());
}

TEST_F(MusicStreamTest, FadeMusicInRampsUpToTheMusicVolume) {
    ASSERT_EQ(1, LoadMusic(Wav(2, 22050, 16, Pattern(22050 * 3, 2))));
    ZQSound::SetStreamVolume(0x7FFF);
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

    EXPECT_EQ(0x8000, ZQSound::GetStreamVolume());
    EXPECT_GE(took, 300u);
    EXPECT_LE(took, 320u);
    // From the fade's first step on, the level only rises.
    auto ramp = std::find_if(seen.begin(), seen.end(), [](int v) { return v < 0x7FFF; });
    ASSERT_GT(seen.end() - ramp, 20);
    EXPECT_TRUE(std::is_sorted(ramp, seen.end()));
    g_Sound.FadeMusicOut(0);
    EXPECT_EQ(0, ZQSound::GetStreamVolume());
}

TEST_F(MusicStreamTest, RefusalsLeaveNothingBehindAndMusicOffStopsTheStream) {
    Bytes data = Pattern(22050 * 3, 2);
    Bytes shortLoop = Riff({Fmt(1, 2, 22050, 16), Smpl(1, 0, 100), Chunk{"data", data}});
    EXPECT_EQ(0, LoadMusic(shortLoop));
    EXPECT_EQ(0, LoadMusic(Bytes(100, 7)));
    EXPECT_EQ(nullptr, ZQSound::g_FillThread.load());
    for (HANDLE event : ZQSound::g_NotifyEvents)
        EXPECT_EQ(nullptr, event);
    EXPECT_EQ(0u, Slot(0)->dwFlags.load());

    ASSERT_EQ(1, LoadMusic(Wav(2, 22050, 16, data)));
    ASSERT_EQ(1, g_Sound.PlayStream(4));
    g_Sound.EnableMusic(0);
    EXPECT_EQ(nullptr, Stream().pSample.load());
    EXPECT_EQ(0, LoadMusic(Wav(2, 22050, 16, data)));
}

namespace {

// A next function that queues one more piece of music, looping.
std::string g_nextMusic;
std::atomic<int> g_queued{0};

void QueueNextMusic(unsigned long id) {
    CountNext(id);
    if (g_queued++ == 0 && g_Sound.LoadStream(g_nextMusic.data(), id + 1)) g_Sound.PlayStream(4);
}

} // namespace

TEST_F(MusicStreamTest, TheNextFunctionCanStartTheNextPiece) {
    Bytes second = Pattern(22050 * 3, 2);
    for (auto& s : second)
        s ^= 0x5A;
    g_nextMusic = WriteTemp("next.wav", Wav(2, 22050, 16, second));

    // At the end of a piece that does not loop.
    g_queued = 0;
    g_Sound.SetStreamNextFunc(QueueNextMusic);
    ASSERT_EQ(1, LoadMusic(Wav(2, 22050, 16, Pattern(4000, 2)), 7));
    ASSERT_EQ(1, g_Sound.PlayStream(0));
    std::vector<int16_t> heard;
    PlaySegments(1, heard);
    ASSERT_TRUE(WaitFor([&] {
        SNDSample* next = Stream().pSample;
        return next && next->dwID == 8 && next->SamplePlaying();
    }));
    EXPECT_EQ(1, g_nextCalls.load());
    EXPECT_EQ(7u, g_nextId.load());
    EXPECT_EQ(DWORD(STREAM_LOADED | STREAM_PLAYING | STREAM_LOOP | STREAM_FILLING),
              Stream().dwFlags.load() & ~(DWORD)STREAM_PRIMED);
    heard.clear();
    PlaySegments(9, heard);
    std::vector<int16_t> file = Samples16(second);
    for (size_t i = 0; i < heard.size(); ++i)
        ASSERT_EQ(file[i], heard[i]) << "sample " << i;
    EXPECT_EQ(1, g_Sound.StopStream());
    ExpectTornDown();

    // When the piece before is stopped: the new one plays on, with its thread.
    g_queued = 0;
    g_nextCalls = 0;
    ASSERT_EQ(1, LoadMusic(Wav(2, 22050, 16, Pattern(22050 * 3, 2)), 20));
    ASSERT_EQ(1, g_Sound.PlayStream(4));
    PlaySegments(1, heard);
    EXPECT_EQ(1, g_Sound.StopStream());
    EXPECT_EQ(1, g_nextCalls.load());
    EXPECT_EQ(21u, ZQSound::GetStreamID());
    EXPECT_TRUE(Stream().dwFlags & STREAM_PLAYING);
    HANDLE thread = ZQSound::g_FillThread;
    ASSERT_NE(nullptr, thread);
    EXPECT_EQ(DWORD(WAIT_TIMEOUT), WaitForSingleObject(thread, 0));
    heard.clear();
    PlaySegments(2, heard);
    for (size_t i = 0; i < heard.size(); ++i)
        ASSERT_EQ(file[i], heard[i]) << "sample " << i;
    g_queued = 1;
    EXPECT_EQ(1, g_Sound.StopStream());
    ExpectTornDown();
}
