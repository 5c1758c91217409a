// The sample pool: IDs, duplicates, reuse, effects switch, chaining and the
// level scales.
#include <vector>

#include "sound_fixture.h"

using namespace soundtest;

namespace {

// A tenth of a second of 16-bit mono at 22050 Hz.
Bytes ShortClip() {
    return PcmWav(1, 22050, 16, Pattern16(2205, 1));
}

} // namespace

TEST_F(SoundTest, IdsTenElevenTwelveFillTheFirstSlotsAndFreedSlotsAreReused) {
    ASSERT_EQ(1, Load("a.wav", ShortClip(), 10));
    ASSERT_EQ(1, Load("b.wav", ShortClip(), 11));
    ASSERT_EQ(1, Load("c.wav", ShortClip(), 12));
    EXPECT_EQ(10u, Slot(0)->dwID);
    EXPECT_EQ(11u, Slot(1)->dwID);
    EXPECT_EQ(12u, Slot(2)->dwID);
    EXPECT_EQ(ZQSound::g_SampleList + 3, ZQSound::g_pLastSample);

    // Freeing a slot below the highest keeps the highest findable, and the
    // next load takes the freed slot.
    g_Sound.FreeSample(10ul);
    EXPECT_EQ(0u, Slot(0)->dwFlags.load());
    EXPECT_EQ(nullptr, Slot(0)->lpBuffer);
    EXPECT_EQ(Slot(2), g_Sound.FindSampleID(12));
    ASSERT_EQ(1, Load("d.wav", ShortClip(), 13));
    EXPECT_EQ(13u, Slot(0)->dwID);

    // Loading an ID again answers 1 without taking a slot.
    ASSERT_EQ(1, Load("e.wav", ShortClip(), 12));
    EXPECT_EQ(ZQSound::g_SampleList + 3, ZQSound::g_pLastSample);
    EXPECT_EQ(0u, Slot(3)->dwFlags.load());
}

TEST_F(SoundTest, AQuickSecondPlaySoundsOnADuplicateThatALaterFindFrees) {
    ASSERT_EQ(1, Load("a.wav", ShortClip(), 10));
    SNDSample* first = g_Sound.PlaySample(10, 65535, 32768);
    SNDSample* second = g_Sound.PlaySample(10, 65535, 32768);
    ASSERT_EQ(Slot(0), first);
    ASSERT_EQ(Slot(1), second);
    EXPECT_TRUE(second->dwFlags & SND_DUPLICATE);
    EXPECT_FALSE(second->dwFlags & SND_RESERVED);
    EXPECT_TRUE(first->SamplePlaying());
    EXPECT_TRUE(second->SamplePlaying());
    ASSERT_EQ(1, Load("b.wav", ShortClip(), 11));
    EXPECT_EQ(Slot(2), ZQSound::g_pLastSample - 1);

    Pump(DeviceFrames(4410, 2, 22050));
    EXPECT_FALSE(first->SamplePlaying());
    EXPECT_FALSE(second->SamplePlaying());

    // The walk for 11 passes the idle duplicate and frees it.
    EXPECT_EQ(Slot(2), g_Sound.FindSample(11));
    EXPECT_EQ(0u, Slot(1)->dwFlags.load());
    EXPECT_EQ(nullptr, Slot(1)->lpBuffer);

    // Two finds of an idle ID without a play: the sample, then a duplicate.
    SNDSample* taken = g_Sound.FindSample(10);
    SNDSample* copy = g_Sound.FindSample(10);
    EXPECT_EQ(Slot(0), taken);
    ASSERT_NE(nullptr, copy);
    EXPECT_NE(taken, copy);
    EXPECT_TRUE(copy->dwFlags & SND_DUPLICATE);
    EXPECT_TRUE(copy->dwFlags & SND_RESERVED);
    EXPECT_EQ(10u, copy->dwID);
    EXPECT_EQ(taken->dwDataSize, copy->dwDataSize);

    // FlushSamples leaves reserved duplicates alone and frees idle ones.
    g_Sound.FlushSamples();
    EXPECT_TRUE(copy->dwFlags & SND_INUSE);
    copy->PlaySample(65535, 32768);
    Pump(DeviceFrames(4410, 2, 22050));
    g_Sound.FlushSamples();
    EXPECT_EQ(0u, copy->dwFlags.load());
}

TEST_F(SoundTest, WithEffectsOffPlaysSucceedSilentlyWithoutFillingThePool) {
    ASSERT_EQ(1, Load("a.wav", ShortClip(), 10));
    g_Sound.EnableSFX(0);
    for (int i = 0; i < 40; ++i) {
        SNDSample* sample = g_Sound.PlaySample(10, 65535, 32768);
        ASSERT_EQ(Slot(0), sample);
        EXPECT_FALSE(sample->SamplePlaying());
        EXPECT_EQ(1, g_Sound.PlaySampleIDOnce(10, 65535, 32768));
    }
    EXPECT_EQ(ZQSound::g_SampleList + 1, ZQSound::g_pLastSample);
    for (int16_t value : Pump(2000))
        ASSERT_EQ(0, value);

    // Switched back on, the same sample sounds.
    g_Sound.EnableSFX(1);
    EXPECT_EQ(Slot(0), g_Sound.PlaySample(10, 65535, 32768));
    EXPECT_TRUE(Slot(0)->SamplePlaying());
    EXPECT_EQ(0, g_Sound.PlaySampleIDOnce(99, 65535, 32768));
}

TEST_F(SoundTest, EightBitStereoLoadsAndCompressedFilesLeaveTheSlotFree) {
    Bytes adpcm = Riff({FmtChunk(2, 1, 11025, 4, 20), DataChunk(Bytes(512, 0x11))});
    EXPECT_EQ(0, Load("adpcm.wav", adpcm, 10));
    EXPECT_EQ(0u, Slot(0)->dwFlags.load());
    EXPECT_EQ(nullptr, Slot(0)->lpBuffer);

    ASSERT_EQ(1, Load("stereo8.wav", PcmWav(2, 11025, 8, Pattern8(1000, 2)), 20));
    SNDSample* sample = Slot(0);
    EXPECT_EQ(2u, sample->dwChannels);
    EXPECT_EQ(11025u, sample->dwSampleRate);
    EXPECT_EQ(8u, sample->dwBitsPerSample);
    EXPECT_EQ(2000u, sample->dwDataSize);
    EXPECT_TRUE(sample->dwFlags & SND_FORMAT);
    EXPECT_FALSE(sample->dwFlags & SND_LOOPED);

    ASSERT_NE(nullptr, g_Sound.PlaySample(20, 65535, 32768));
    std::vector<int16_t> out = Pump(500);
    int loud = 0;
    for (int16_t value : out)
        loud += value > 0;
    EXPECT_GT(loud, 900); // every sample lies above the 8-bit midpoint
}

TEST_F(SoundTest, OddChunksAreSkippedWithTheirPadByteAndTheDataArrivesWhole) {
    Bytes data = Pattern16(300, 2);
    Chunk list{"LIST", Bytes{'I', 'N', 'F', 'O', 'x'}};
    Bytes file =
        Riff({FmtChunk(1, 2, 22050, 16), list, Chunk{"junk", Bytes(7, 1)}, DataChunk(data)});
    ASSERT_EQ(1, Load("odd.wav", file, 10));
    SNDSample* sample = Slot(0);
    ASSERT_EQ(data.size(), sample->dwDataSize);
    LPVOID first = nullptr, second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    ASSERT_EQ(DS_OK, sample->lpBuffer->Lock(0, sample->dwDataSize, &first, &firstBytes, &second,
                                            &secondBytes, 0));
    EXPECT_EQ(0, memcmp(first, data.data(), data.size()));
    sample->lpBuffer->Unlock(first, firstBytes, second, secondBytes);
}

TEST_F(SoundTest, ASampleLoopPlaysLoopingAndItsDuplicatesPlayOnce) {
    Bytes data = Pattern16(2205, 1);
    Bytes file = Riff({FmtChunk(1, 1, 22050, 16), DataChunk(data), SmplChunk(1, 100, 2000)});
    ASSERT_EQ(1, Load("loop.wav", file, 10));
    SNDSample* looped = Slot(0);
    EXPECT_TRUE(looped->dwFlags & SND_LOOPED);
    // Points are shifted by the bytes per sample.
    EXPECT_EQ(100u << 2, looped->dwLoopStart);
    EXPECT_EQ(2000u << 2, looped->dwLoopEnd);

    ASSERT_EQ(looped, g_Sound.PlaySample(10, 65535, 32768));
    SNDSample* copy = g_Sound.PlaySample(10, 65535, 32768);
    ASSERT_NE(nullptr, copy);
    EXPECT_FALSE(copy->dwFlags & SND_LOOPED);
    EXPECT_EQ(looped->dwLoopStart, copy->dwLoopStart);
    EXPECT_EQ(looped->dwLoopEnd, copy->dwLoopEnd);

    Pump(DeviceFrames(4410 * 3, 2, 22050));
    EXPECT_TRUE(looped->SamplePlaying());
    EXPECT_TRUE(looped->GetSampleStatus() & DSBSTATUS_LOOPING);
    EXPECT_FALSE(copy->SamplePlaying());

    // A "smpl" chunk that lists no loop leaves the sample one-shot.
    ASSERT_EQ(1, Load("noloop.wav",
                      Riff({FmtChunk(1, 1, 22050, 16), SmplChunk(0, 0, 0), DataChunk(data)}), 11));
    EXPECT_FALSE(g_Sound.FindSampleID(11)->dwFlags & SND_LOOPED);
}

TEST_F(SoundTest, StopPauseAndResumeByIdKeepTheirPlace) {
    ASSERT_EQ(1, Load("a.wav", PcmWav(1, 22050, 16, Pattern16(22050, 1)), 10));
    SNDSample* sample = g_Sound.PlaySample(10, 65535, 32768);
    ASSERT_NE(nullptr, sample);
    Pump(DeviceFrames(2000, 2, 22050));

    EXPECT_EQ(sample, g_Sound.PauseSample(10));
    EXPECT_TRUE(sample->dwFlags & SND_PAUSED);
    EXPECT_GE(sample->dwPausePos, 2000u);
    DWORD paused = sample->dwPausePos;
    Pump(1000);
    EXPECT_EQ(1, sample->UnPauseSample());
    DWORD play = 0, write = 0;
    sample->lpBuffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(paused, play);
    EXPECT_EQ(0, sample->UnPauseSample()); // only once

    // The game's StopSample rewinds.
    Pump(500);
    EXPECT_EQ(sample, g_Sound.StopSample(10));
    sample->lpBuffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(0u, play);
    EXPECT_FALSE(sample->SamplePlaying());
    EXPECT_EQ(nullptr, g_Sound.StopSample(77));
    EXPECT_STREQ("Tue Jan  8 15:57:20 2002", g_Sound.GetLIBDate());
    EXPECT_EQ(1, g_Sound.GetLIBVersion());
}

TEST_F(SoundTest, VolumeAndPanMapOntoHundredthsOfADecibel) {
    EXPECT_EQ(0, ZQSound::MapVolume(65535));
    EXPECT_EQ(0, ZQSound::MapVolume(70000));
    EXPECT_EQ(-10000, ZQSound::MapVolume(-1));
    EXPECT_EQ(-10000, ZQSound::MapVolume(0));
    EXPECT_EQ(-1000, ZQSound::MapVolume(32768));
    EXPECT_EQ(-2000, ZQSound::MapVolume(16384));

    EXPECT_EQ(0, ZQSound::MapPan(32768));
    EXPECT_EQ(10000, ZQSound::MapPan(0));
    EXPECT_EQ(10000, ZQSound::MapPan(1));
    EXPECT_EQ(-10000, ZQSound::MapPan(65535));
    EXPECT_EQ(-10000, ZQSound::MapPan(65536));
    EXPECT_EQ(0, ZQSound::MapPan(32767));
    EXPECT_EQ(1000, ZQSound::MapPan(16384));

    const int rows[][2] = {{0, -10000},   {16, -10000},  {17, -9912},   {64, -8000},   {256, -6000},
                           {1024, -4000}, {4096, -2000}, {8192, -1000}, {12288, -415}, {16383, 0}};
    for (const auto& row : rows)
        EXPECT_EQ(row[1], ZQSound::g_VolumeTable[row[0]]) << "entry " << row[0];

    // A sample at half volume panned by the library's scale.
    ASSERT_EQ(1, Load("a.wav", ShortClip(), 10));
    SNDSample* sample = g_Sound.PlaySample(10, 32768, 0);
    ASSERT_NE(nullptr, sample);
    EXPECT_EQ(32768, sample->nVolume.load());
    EXPECT_EQ(0, sample->nPan.load());
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

TEST_F(SoundTest, FileHooksOpenAndCloseEveryFileAndNullRestoresTheDefaults) {
    ZQSound::SetFileOpenFunc(CountingOpen);
    ZQSound::SetFileCloseFunc(CountingClose);
    g_opened = g_closed = 0;
    ASSERT_EQ(1, Load("a.wav", ShortClip(), 10));
    EXPECT_EQ(0, Load("bad.wav", Bytes{'R', 'I', 'F', 'F'}, 11));
    std::string missing = testing::TempDir() + "zqsound_missing.wav";
    EXPECT_EQ(0, g_Sound.LoadSample(missing.data(), 12));
    EXPECT_EQ(3, g_opened);
    EXPECT_EQ(2, g_closed);

    ZQSound::SetFileOpenFunc(nullptr);
    ZQSound::SetFileCloseFunc(nullptr);
    EXPECT_EQ(ZQSound::DefaultOpenFile, ZQSound::g_pOpenFile);
    EXPECT_EQ(ZQSound::DefaultCloseFile, ZQSound::g_pCloseFile);
    ASSERT_EQ(1, Load("b.wav", ShortClip(), 13));
    EXPECT_EQ(3, g_opened);
}

TEST_F(SoundTest, AChainedSampleStartsWhenTheFirstEnds) {
    ASSERT_EQ(1, Load("a.wav", ShortClip(), 10));
    ASSERT_EQ(1, Load("b.wav", PcmWav(1, 22050, 16, Pattern16(22050, 1)), 11));
    SNDSample* first = g_Sound.FindSampleID(10);
    SNDSample* second = g_Sound.FindSampleID(11);
    EXPECT_EQ(first, SNDSample::ChainSample(first, second));
    EXPECT_EQ(second, SNDSample::ChainSample(nullptr, second));
    EXPECT_EQ(second, first->pNext.load());

    ASSERT_EQ(first, g_Sound.PlaySample(10, 40000, 20000));
    EXPECT_TRUE(first->dwFlags & SND_CHAINED);
    EXPECT_FALSE(second->SamplePlaying());
    Pump(DeviceFrames(4410, 2, 22050));
    ASSERT_TRUE(WaitFor([&] { return second->SamplePlaying() != 0; }));
    EXPECT_TRUE(WaitFor([&] { return !(first->dwFlags & SND_CHAINED); }));
    // The chained sample takes the finished one's levels.
    EXPECT_EQ(40000, second->nVolume.load());
    EXPECT_EQ(20000, second->nPan.load());
}

class LargePoolTest : public SoundTest {
protected:
    int PoolSize() override { return 100; }
};

TEST_F(LargePoolTest, AtMostSixtyThreeChainsAreArmedAtOnce) {
    EXPECT_EQ(64, ZQSound::g_nMaxEventCount);
    std::string clip = WriteTemp("clip.wav", ShortClip());
    ASSERT_EQ(1, g_Sound.LoadSample(clip.data(), 99));
    SNDSample* next = g_Sound.FindSampleID(99);
    std::vector<SNDSample*> firsts;
    for (unsigned long id = 100; id < 165; ++id) {
        ASSERT_EQ(1, g_Sound.LoadSample(clip.data(), id));
        firsts.push_back(g_Sound.FindSampleID(id));
        SNDSample::ChainSample(firsts.back(), next);
    }
    for (unsigned long id = 100; id < 165; ++id)
        ASSERT_NE(nullptr, g_Sound.PlaySample((long)id, 65535, 32768));

    int armed = 0;
    for (SNDSample* sample : firsts)
        armed += (sample->dwFlags & SND_CHAINED) ? 1 : 0;
    EXPECT_EQ(63, armed);
    EXPECT_EQ(nullptr, ZQSound::AllocSoundEvent());

    // When they end, every entry comes back.
    Pump(DeviceFrames(4410, 2, 22050));
    ASSERT_TRUE(WaitFor([&] {
        for (int i = 1; i < ZQSound::g_nMaxEventCount; ++i)
            if (ZQSound::g_EventList[i].pSample.load()) return false;
        return true;
    }));
    EXPECT_TRUE(WaitFor([&] { return next->SamplePlaying() != 0; }));
    _SNDEvent* entry = ZQSound::AllocSoundEvent();
    EXPECT_EQ(&ZQSound::g_EventList[1], entry);
    ZQSound::FreeSoundEvent(entry);
}

TEST(SoundPoolLifecycle, InitAndExitRunTwiceAndAnEmptyPoolRefusesQuietly) {
    LudoraHoldClock();
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(1, g_Sound.Init(nullptr, 0));
        EXPECT_EQ(1, ZQSound::g_nMaxEventCount);
        std::string clip = WriteTemp("clip.wav", ShortClip());
        EXPECT_EQ(0, g_Sound.LoadSample(clip.data(), 10));
        EXPECT_EQ(nullptr, g_Sound.PlaySample(10, 65535, 32768));
        EXPECT_EQ(nullptr, ZQSound::AllocSoundEvent());
        g_Sound.Exit();
        EXPECT_EQ(nullptr, ZQSound::GetDSObject());
        EXPECT_EQ(nullptr, ZQSound::g_SampleList);
    }
    g_Sound.Exit();
    LudoraReleaseClock();
}
