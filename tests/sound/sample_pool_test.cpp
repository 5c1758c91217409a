// The sample pool: IDs, duplicates, reuse, the effects switch, loops, levels,
// file hooks and chaining.
#include "sound_fixture.h"

using namespace soundtest;

// The game's build looks samples up by ID and stops and pauses them by ID.
static_assert(LooksUpById<ZQSound> && StopsById<ZQSound> && PausesById<ZQSound>);

namespace {

// A tenth of a second of 16-bit mono at 22050 Hz (2205 device frames).
Bytes Clip() {
    return Wav(1, 22050, 16, Pattern(2205, 1));
}

} // namespace

TEST_F(SoundTest, IdsFillTheFirstSlotsAndAFreedSlotIsReused) {
    for (unsigned long id : {10, 11, 12})
        ASSERT_EQ(1, Load("a.wav", Clip(), id));
    EXPECT_EQ(10u, Slot(0)->dwID);
    EXPECT_EQ(12u, Slot(2)->dwID);
    EXPECT_EQ(Slot(3), ZQSound::g_pLastSample.load());

    // Freed below the highest slot, which stays findable; the next load
    // takes the freed slot, and loading an ID again takes none.
    g_Sound.FreeSample(10ul);
    EXPECT_EQ(0u, Slot(0)->dwFlags.load());
    EXPECT_EQ(Slot(2), g_Sound.FindSampleID(12));
    ASSERT_EQ(1, Load("b.wav", Clip(), 13));
    EXPECT_EQ(13u, Slot(0)->dwID);
    ASSERT_EQ(1, Load("c.wav", Clip(), 12));
    EXPECT_EQ(Slot(3), ZQSound::g_pLastSample.load());

    // Emptying the list lets go of every buffer, even one still sounding.
    ASSERT_NE(nullptr, g_Sound.PlaySample(13, 65535, 32768));
    ZQSound::ClearSampleList();
    EXPECT_EQ(Slot(0), ZQSound::g_pLastSample.load());
    EXPECT_EQ(nullptr, Slot(0)->lpBuffer);
    for (int16_t value : Pump(500))
        ASSERT_EQ(0, value);
}

TEST_F(SoundTest, AQuickSecondPlaySoundsOnADuplicateThatALaterFindFrees) {
    ASSERT_EQ(1, Load("a.wav", Clip(), 10));
    SNDSample* first = g_Sound.PlaySample(10, 65535, 32768);
    SNDSample* second = g_Sound.PlaySample(10, 65535, 32768);
    ASSERT_EQ(Slot(0), first);
    ASSERT_EQ(Slot(1), second);
    EXPECT_EQ(SND_INUSE | SND_DUPLICATE, second->dwFlags.load());
    EXPECT_TRUE(first->SamplePlaying() && second->SamplePlaying());
    ASSERT_EQ(1, Load("b.wav", Clip(), 11));
    Pump(2206);
    EXPECT_FALSE(first->SamplePlaying() || second->SamplePlaying());

    // The walk for 11 passes the idle duplicate and frees it.
    EXPECT_EQ(Slot(2), g_Sound.FindSample(11));
    EXPECT_EQ(0u, Slot(1)->dwFlags.load());

    // Two finds of an idle ID without a play: the sample, then a duplicate,
    // which FlushSamples frees only once it is played and idle.
    EXPECT_EQ(Slot(0), g_Sound.FindSample(10));
    SNDSample* copy = g_Sound.FindSample(10);
    ASSERT_EQ(Slot(1), copy);
    EXPECT_EQ(SND_INUSE | SND_DUPLICATE | SND_RESERVED, copy->dwFlags.load());
    g_Sound.FlushSamples();
    EXPECT_NE(0u, copy->dwFlags.load());
    copy->PlaySample(65535, 32768);
    Pump(2206);
    g_Sound.FlushSamples();
    EXPECT_EQ(0u, copy->dwFlags.load());
}

TEST_F(SoundTest, WithEffectsOffPlaysSucceedSilentlyWithoutFillingThePool) {
    ASSERT_EQ(1, Load("a.wav", Clip(), 10));
    g_Sound.EnableSFX(0);
    for (int i = 0; i < 40; ++i) {
        ASSERT_EQ(Slot(0), g_Sound.PlaySample(10, 65535, 32768));
        EXPECT_EQ(1, g_Sound.PlaySampleIDOnce(10, 65535, 32768));
    }
    EXPECT_EQ(Slot(1), ZQSound::g_pLastSample.load());
    for (int16_t value : Pump(2000))
        ASSERT_EQ(0, value);
    g_Sound.EnableSFX(1);
    EXPECT_EQ(Slot(0), g_Sound.PlaySample(10, 65535, 32768));
    EXPECT_TRUE(Slot(0)->SamplePlaying());
    EXPECT_EQ(0, g_Sound.PlaySampleIDOnce(99, 65535, 32768));
}

TEST_F(SoundTest, EightBitStereoLoadsWholeAndCompressedFilesLeaveTheSlotFree) {
    Bytes adpcm = Riff({Fmt(2, 1, 11025, 4, 20), Chunk{"data", Bytes(512, 0x11)}});
    EXPECT_EQ(0, Load("adpcm.wav", adpcm, 10));
    EXPECT_EQ(0u, Slot(0)->dwFlags.load());

    // An odd chunk before the data is skipped with its pad byte.
    Bytes data = Pattern(1001, 2, 8);
    Bytes file = Riff({Fmt(1, 2, 11025, 8), Chunk{"LIST", Bytes(5, 'x')}, Chunk{"data", data}});
    ASSERT_EQ(1, Load("stereo8.wav", file, 20));
    SNDSample* sample = Slot(0);
    EXPECT_EQ(2u, sample->dwChannels);
    EXPECT_EQ(11025u, sample->dwSampleRate);
    EXPECT_EQ(8u, sample->dwBitsPerSample);
    ASSERT_EQ(data.size(), sample->dwDataSize);
    LPVOID bytes = nullptr, more = nullptr;
    DWORD size = 0, moreSize = 0;
    ASSERT_EQ(DS_OK, sample->lpBuffer->Lock(0, 2002, &bytes, &size, &more, &moreSize, 0));
    EXPECT_EQ(0, memcmp(bytes, data.data(), data.size()));
    sample->lpBuffer->Unlock(bytes, 0, more, 0);

    ASSERT_EQ(sample, g_Sound.PlaySample(20, 65535, 32768));
    for (int16_t value : Pump(1500))
        ASSERT_GT(value, 0); // every sample lies above the 8-bit midpoint
}

TEST_F(SoundTest, ASampleLoopPlaysLoopingAndItsDuplicatesPlayOnce) {
    Bytes file = Riff({Fmt(1, 1, 22050, 16), Chunk{"data", Pattern(2205, 1)}, Smpl(1, 100, 2000)});
    ASSERT_EQ(1, Load("loop.wav", file, 10));
    SNDSample* looped = Slot(0);
    EXPECT_TRUE(looped->dwFlags & SND_LOOPED);
    EXPECT_EQ(100u << 2, looped->dwLoopStart); // shifted by the bytes per sample
    EXPECT_EQ(2000u << 2, looped->dwLoopEnd);
    ASSERT_EQ(looped, g_Sound.PlaySample(10, 65535, 32768));
    SNDSample* copy = g_Sound.PlaySample(10, 65535, 32768);
    ASSERT_NE(nullptr, copy);
    EXPECT_FALSE(copy->dwFlags & SND_LOOPED);
    EXPECT_EQ(looped->dwLoopEnd, copy->dwLoopEnd);
    Pump(3 * 2205);
    EXPECT_TRUE(looped->GetSampleStatus() & DSBSTATUS_LOOPING);
    EXPECT_FALSE(copy->SamplePlaying());

    // A "smpl" chunk that lists no loop leaves a sample one-shot.
    file = Riff({Fmt(1, 1, 22050, 16), Smpl(0, 0, 0), Chunk{"data", Pattern(10, 1)}});
    ASSERT_EQ(1, Load("noloop.wav", file, 11));
    EXPECT_FALSE(g_Sound.FindSampleID(11)->dwFlags & SND_LOOPED);
}

TEST_F(SoundTest, PauseResumesInPlaceAndTheGameBuildStopRewinds) {
    ASSERT_EQ(1, Load("a.wav", Wav(1, 22050, 16, Pattern(22050, 1)), 10));
    SNDSample* sample = g_Sound.PlaySample(10, 65535, 32768);
    Pump(1000);
    EXPECT_EQ(sample, g_Sound.PauseSample(10));
    EXPECT_EQ(2000u, sample->dwPausePos);
    Pump(1000);
    EXPECT_EQ(1, sample->UnPauseSample());
    EXPECT_EQ(2000u, PlayCursor(sample));
    EXPECT_EQ(0, sample->UnPauseSample());
    Pump(500);
    EXPECT_EQ(sample, g_Sound.StopSample(10));
    EXPECT_EQ(0u, PlayCursor(sample));
    EXPECT_EQ(nullptr, g_Sound.StopSample(77));
    EXPECT_STREQ("Tue Jan  8 15:57:20 2002", g_Sound.GetLIBDate());
}

TEST_F(SoundTest, IdFormsActOnTheFirstSlotWithTheIdAndReserveNothing) {
    // Loading an ID twice leaves its sample reserved: the ID forms still
    // reach it, and finding it changes nothing.
    ASSERT_EQ(1, Load("a.wav", Clip(), 5));
    ASSERT_EQ(1, Load("b.wav", Wav(1, 22050, 16, Pattern(22050, 1)), 10));
    ASSERT_EQ(1, Load("b.wav", Wav(1, 22050, 16, Pattern(22050, 1)), 10));
    SNDSample* loaded = Slot(1);
    ASSERT_EQ(SND_INUSE | SND_FORMAT | SND_RESERVED, loaded->dwFlags.load());
    EXPECT_EQ(loaded, g_Sound.FindSampleID(10));
    EXPECT_EQ(SND_INUSE | SND_FORMAT | SND_RESERVED, loaded->dwFlags.load());
    EXPECT_EQ(Slot(2), ZQSound::g_pLastSample.load());
    ASSERT_EQ(1, loaded->PlaySample(65535, 32768));
    Pump(1000);
    EXPECT_EQ(loaded, g_Sound.PauseSample(10));
    EXPECT_EQ(2000u, loaded->dwPausePos);
    EXPECT_EQ(1, loaded->UnPauseSample());
    EXPECT_EQ(loaded, g_Sound.StopSample(10));
    EXPECT_FALSE(loaded->SamplePlaying());
    EXPECT_EQ(0u, PlayCursor(loaded));

    // A duplicate in a lower slot than the sample it copies comes first.
    ASSERT_EQ(loaded, g_Sound.PlaySample(10, 65535, 32768));
    g_Sound.FreeSample(5ul);
    SNDSample* copy = g_Sound.PlaySample(10, 65535, 32768);
    ASSERT_EQ(Slot(0), copy);
    EXPECT_EQ(copy, g_Sound.FindSampleID(10));
    EXPECT_EQ(SND_INUSE | SND_DUPLICATE, copy->dwFlags.load());
    EXPECT_EQ(copy, g_Sound.StopSample(10));
    EXPECT_FALSE(copy->SamplePlaying());
    EXPECT_TRUE(loaded->SamplePlaying());
    EXPECT_EQ(nullptr, g_Sound.FindSampleID(77));
}

TEST_F(SoundTest, PlayingOnceFollowsTheProgramsEffectsSwitch) {
    ASSERT_EQ(1, Load("a.wav", Clip(), 10));
    // Any sound object plays by the switch of the program's one object.
    ZQSound other;
    other.EnableSFX(0);
    EXPECT_EQ(1, other.PlaySampleIDOnce(10, 65535, 32768));
    EXPECT_TRUE(Slot(0)->SamplePlaying());
    Pump(2206);
    g_Sound.EnableSFX(0);
    other.EnableSFX(1);
    EXPECT_EQ(1, other.PlaySampleIDOnce(10, 65535, 32768));
    EXPECT_FALSE(Slot(0)->SamplePlaying());
    EXPECT_NE(nullptr, other.PlaySample(10, 65535, 32768));
    EXPECT_FALSE(Slot(0)->SamplePlaying());
}

TEST_F(SoundTest, VolumeAndPanMapOntoHundredthsOfADecibel) {
    const int volumes[][2] = {{65535, 0},     {70000, 0},     {-1, -10000},
                              {32768, -1000}, {16384, -2000}, {0, -10000}};
    for (const auto& v : volumes)
        EXPECT_EQ(v[1], ZQSound::MapVolume(v[0])) << v[0];
    const int pans[][2] = {{32768, 0}, {0, 10000}, {65535, -10000}, {70000, -10000}, {16384, 1000}};
    for (const auto& p : pans)
        EXPECT_EQ(p[1], ZQSound::MapPan(p[0])) << p[0];
    const int rows[][2] = {{16, -10000},  {17, -9912},   {64, -8000},
                           {1024, -4000}, {12288, -415}, {16383, 0}};
    for (const auto& row : rows)
        EXPECT_EQ(row[1], ZQSound::g_VolumeTable[row[0]]) << row[0];

    ASSERT_EQ(1, Load("a.wav", Clip(), 10));
    SNDSample* sample = g_Sound.PlaySample(10, 32768, 0);
    LONG volume = 0, pan = 0;
    sample->lpBuffer->GetVolume(&volume);
    sample->lpBuffer->GetPan(&pan);
    EXPECT_EQ(-1000, volume);
    EXPECT_EQ(10000, pan);
}

namespace {

int g_opened = 0;
int g_closed = 0;

HANDLE CountingOpen(char* name) {
    ++g_opened;
    return ZQSound::DefaultOpenFile(name);
}

int CountingClose(HANDLE file) {
    ++g_closed;
    return ZQSound::DefaultCloseFile(file);
}

} // namespace

TEST_F(SoundTest, FileHooksSeeEveryOpenAndCloseUntilReset) {
    ZQSound::SetFileOpenFunc(CountingOpen);
    ZQSound::SetFileCloseFunc(CountingClose);
    g_opened = g_closed = 0;
    ASSERT_EQ(1, Load("a.wav", Clip(), 10));
    EXPECT_EQ(0, Load("bad.wav", Bytes{'R', 'I', 'F', 'F'}, 11));
    EXPECT_EQ(0, g_Sound.LoadSample((testing::TempDir() + "zqsound_none.wav").data(), 12));
    EXPECT_EQ(3, g_opened);
    EXPECT_EQ(2, g_closed);
    ZQSound::SetFileOpenFunc(nullptr);
    ZQSound::SetFileCloseFunc(nullptr);
    ASSERT_EQ(1, Load("b.wav", Clip(), 13));
    EXPECT_EQ(3, g_opened);
}

TEST_F(SoundTest, AChainedSampleStartsAtTheLevelsOfTheOneThatEnded) {
    ASSERT_EQ(1, Load("a.wav", Clip(), 10));
    ASSERT_EQ(1, Load("b.wav", Wav(1, 22050, 16, Pattern(22050, 1)), 11));
    SNDSample* first = g_Sound.FindSampleID(10);
    SNDSample* second = g_Sound.FindSampleID(11);
    EXPECT_EQ(first, SNDSample::ChainSample(first, second));
    EXPECT_EQ(second, SNDSample::ChainSample(nullptr, second));
    ASSERT_EQ(first, g_Sound.PlaySample(10, 40000, 20000));
    EXPECT_TRUE(first->dwFlags & SND_CHAINED);
    EXPECT_FALSE(second->SamplePlaying());
    Pump(2206);
    ASSERT_TRUE(
        WaitFor([&] { return second->SamplePlaying() && !(first->dwFlags & SND_CHAINED); }));
    EXPECT_EQ(40000, second->nVolume.load());
    EXPECT_EQ(20000, second->nPan.load());
}

class LargePoolTest : public SoundTest {
protected:
    int PoolSize() override { return 100; }
};

TEST_F(LargePoolTest, AtMostSixtyThreeChainsAreArmedAtOnce) {
    EXPECT_EQ(64, ZQSound::g_nMaxEventCount);
    std::string clip = WriteTemp("clip.wav", Clip());
    ASSERT_EQ(1, g_Sound.LoadSample(clip.data(), 99));
    SNDSample* next = g_Sound.FindSampleID(99);
    int armed = 0;
    for (long id = 100; id < 165; ++id) {
        ASSERT_EQ(1, g_Sound.LoadSample(clip.data(), (unsigned long)id));
        SNDSample::ChainSample(g_Sound.FindSampleID((unsigned long)id), next);
        armed += (g_Sound.PlaySample(id, 65535, 32768)->dwFlags & SND_CHAINED) ? 1 : 0;
    }
    EXPECT_EQ(63, armed);
    EXPECT_EQ(nullptr, ZQSound::AllocSoundEvent());

    // When they end, every entry comes back.
    Pump(2206);
    ASSERT_TRUE(WaitFor([&] {
        for (int i = 1; i < ZQSound::g_nMaxEventCount; ++i)
            if (ZQSound::g_EventList[i].pSample.load()) return false;
        return next->SamplePlaying() != 0;
    }));
    EXPECT_EQ(&ZQSound::g_EventList[1], ZQSound::AllocSoundEvent());
}

TEST(SoundPoolLifecycle, AnEmptyPoolRefusesQuietlyAndExitRunsTwice) {
    LudoraHoldClock();
    ASSERT_EQ(1, g_Sound.Init(nullptr, 0));
    EXPECT_EQ(0, g_Sound.LoadSample(WriteTemp("clip.wav", Clip()).data(), 10));
    EXPECT_EQ(nullptr, g_Sound.PlaySample(10, 65535, 32768));
    g_Sound.Exit();
    g_Sound.Exit();
    EXPECT_EQ(nullptr, ZQSound::GetDSObject());
    EXPECT_EQ(nullptr, ZQSound::g_SampleList);
    LudoraReleaseClock();
    RemoveTempFiles();
}
