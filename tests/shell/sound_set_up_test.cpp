// The sound bank and the music start-up over the layer's headless mixer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include <windows.h>
#include <mmsystem.h>
#include "ludora/harness_audio.h"
#include "ludora/harness_clock.h"

#include "shell/music.h"
#include "shell/sound_bank.h"

#include "tests/support/temp_folder.h"
#include "tests/support/wav.h"

namespace {

using testkit::WriteSquareWav;

class SoundFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.Made());
        ASSERT_TRUE(std::filesystem::create_directories(folder.path / "Game" / "sounds"));
        here = std::make_unique<testkit::CurrentFolder>(folder.path / "Game");
        ASSERT_EQ(g_SoundBank.Init(nullptr, 200), 1) << "the headless mixer takes sound";
    }
    void TearDown() override {
        mciSendStringA("close music", nullptr, 0, nullptr);
        g_SoundBank.Shutdown();
        here.reset();
    }
    void WriteOptions(const std::string& text) { folder.WriteText("options.ini", text); }
    std::string MusicMode() {
        char mode[64] = {};
        if (mciSendStringA("status music mode", mode, sizeof mode, nullptr) != 0) {
            return "<not open>";
        }
        return mode;
    }
    bool StreamLoaded() {
        return (ZQSound::GetStreamInfoPtr()->dwFlags.load() & STREAM_LOADED) != 0;
    }
    // The pool's sample with this id that is not a duplicate.
    SNDSample* Sample(DWORD id) {
        for (SNDSample* sample = ZQSound::g_SampleList; sample && sample < ZQSound::g_pLastSample;
             ++sample) {
            if ((sample->dwFlags & SND_INUSE) && !(sample->dwFlags & SND_DUPLICATE) &&
                sample->dwID == id) {
                return sample;
            }
        }
        return nullptr;
    }

    testkit::TempFolder folder{"ludora-sound"};
    std::unique_ptr<testkit::CurrentFolder> here;
};

TEST_F(SoundFolder, IdsFollowTheBankAndStartAgainAfterFreeAll) {
    ASSERT_TRUE(WriteSquareWav("sounds/a.wav", 2000));
    ASSERT_TRUE(WriteSquareWav("sounds/b.wav", 2000));
    const SoundBankEntry* first = g_SoundBank.Load(".\\sounds\\a.wav", "splash");
    const SoundBankEntry* second = g_SoundBank.Load(".\\sounds\\b.wav", "dig");
    EXPECT_EQ(g_SoundBank.Load(".\\sounds\\missing.wav", "nothing"), nullptr);
    const SoundBankEntry* third = g_SoundBank.Load(".\\sounds\\a.wav", "splash again");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(first->id, 10);
    EXPECT_EQ(second->id, 11);
    EXPECT_EQ(third->id, 12); // the failed load took no id
    EXPECT_EQ(g_SoundBank.Count(), 3);
    EXPECT_EQ(g_SoundBank.Find("dig"), second);
    EXPECT_EQ(g_SoundBank.Find("Dig"), nullptr);

    g_SoundBank.FreeAll();
    EXPECT_EQ(g_SoundBank.Count(), 0);
    EXPECT_EQ(Sample(10), nullptr);
    const SoundBankEntry* again = g_SoundBank.Load(".\\sounds\\b.wav", "dig");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->id, 10);
}

TEST_F(SoundFolder, LongNamesAreCutAtThirtyOneCharacters) {
    ASSERT_TRUE(WriteSquareWav("sounds/a.wav", 500));
    const std::string longName(50, 's');
    const SoundBankEntry* entry = g_SoundBank.Load(".\\sounds\\a.wav", longName.c_str());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(std::string(entry->name), longName.substr(0, 31));
    EXPECT_EQ(g_SoundBank.Find(longName.substr(0, 31).c_str()), entry);
}

TEST_F(SoundFolder, PlayingANameLoadedTwicePlaysTheFirst) {
    ASSERT_TRUE(WriteSquareWav("sounds/a.wav", 22050));
    ASSERT_TRUE(WriteSquareWav("sounds/b.wav", 22050));
    ASSERT_NE(g_SoundBank.Load(".\\sounds\\a.wav", "chest"), nullptr);
    ASSERT_NE(g_SoundBank.Load(".\\sounds\\b.wav", "chest"), nullptr);
    LudoraHoldClock();
    g_SoundBank.Play("no such sound", 65535, 32768);
    g_SoundBank.Play("chest", 65535, 32768);
    ASSERT_NE(Sample(10), nullptr);
    ASSERT_NE(Sample(11), nullptr);
    EXPECT_TRUE(Sample(10)->SamplePlaying());
    EXPECT_FALSE(Sample(11)->SamplePlaying());
    g_SoundBank.Stop("chest");
    EXPECT_FALSE(Sample(10)->SamplePlaying());
    LudoraReleaseClock();
}

TEST_F(SoundFolder, TheMp3IsPreferredAndTheWavIsNeverLoaded) {
    // The layer's MCI plays a RIFF file under any name; the file stands in for an MP3.
    ASSERT_TRUE(WriteSquareWav("sounds/music.mp3", 22050));
    ASSERT_TRUE(WriteSquareWav("sounds/music.wav", 22050));
    WriteOptions("[setup]\r\nmusic=Y\r\nSFX=Y\r\n");
    StartMusic(nullptr, "..\\options.ini");
    EXPECT_EQ(MusicMode(), "playing");
    EXPECT_FALSE(StreamLoaded());
    EXPECT_EQ(g_Sound.m_bMusic.load(), 1);
    EXPECT_EQ(g_Sound.m_bSFX.load(), 1);
}

TEST_F(SoundFolder, WithoutAnMp3TheWavIsStreamedInALoop) {
    ASSERT_TRUE(WriteSquareWav("sounds/music.wav", 22050));
    StartMusic(nullptr, "..\\options.ini"); // no settings file: music and effects on
    EXPECT_EQ(MusicMode(), "<not open>");
    EXPECT_TRUE(StreamLoaded());
    const DWORD flags = ZQSound::GetStreamInfoPtr()->dwFlags.load();
    EXPECT_TRUE(flags & STREAM_PLAYING);
    EXPECT_TRUE(flags & STREAM_LOOP);
    g_SoundBank.FreeAll(); // stops the stream
    EXPECT_FALSE(ZQSound::GetStreamInfoPtr()->dwFlags.load() & STREAM_PLAYING);
}

TEST_F(SoundFolder, MusicSwitchedOffTouchesNeitherFile) {
    ASSERT_TRUE(WriteSquareWav("sounds/music.mp3", 22050));
    ASSERT_TRUE(WriteSquareWav("sounds/music.wav", 22050));
    for (const char* off : {"N", "yes", "n", "0"}) {
        WriteOptions(std::string("[setup]\r\nmusic=") + off + "\r\nSFX=N\r\n");
        StartMusic(nullptr, "..\\options.ini");
        EXPECT_EQ(MusicMode(), "<not open>") << off;
        EXPECT_FALSE(StreamLoaded()) << off;
        EXPECT_EQ(g_Sound.m_bMusic.load(), 0) << off;
        EXPECT_EQ(g_Sound.m_bSFX.load(), 0) << off;
    }
    // Without an MP3 the WAV is not loaded either.
    ASSERT_EQ(std::remove("sounds/music.mp3"), 0);
    StartMusic(nullptr, "..\\options.ini");
    EXPECT_FALSE(StreamLoaded());
}

TEST_F(SoundFolder, TheMp3PausesResumesAndStartsAgainFromTheBeginning) {
    ASSERT_TRUE(WriteSquareWav("sounds/music.mp3", 22050 * 4));
    LudoraHoldClock();
    StartMusic(nullptr, "..\\options.ini");
    ASSERT_EQ(MusicMode(), "playing");
    LudoraPumpAudio(44100, nullptr); // a second of music
    char position[64] = {};
    mciSendStringA("status music position", position, sizeof position, nullptr);
    EXPECT_GT(std::atoi(position), 0);

    PauseMusic(nullptr);
    EXPECT_EQ(MusicMode(), "paused");
    ResumeMusic(nullptr);
    EXPECT_EQ(MusicMode(), "playing");

    RestartMusic(nullptr);
    EXPECT_EQ(MusicMode(), "playing");
    mciSendStringA("status music position", position, sizeof position, nullptr);
    EXPECT_EQ(std::atoi(position), 0);
    LudoraReleaseClock();
}

TEST_F(SoundFolder, PauseAndResumeWithoutAnMp3DoNothingHarmful) {
    PauseMusic(nullptr);
    ResumeMusic(nullptr);
    EXPECT_EQ(MusicMode(), "<not open>");
}

} // namespace
