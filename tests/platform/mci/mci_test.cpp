// MCI command strings: opening music, playing, pausing, resuming, and the errors.
#include "mci_fixture.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace mci_test {
namespace {

using MciPlayback = MciTest;
using MciErrors = MciTest;

TEST_F(MciPlayback, PauseAndResumeGoOnFromTheSamePlace) {
    // Two seconds of 441 Hz at 22050 Hz stereo.
    write_tone_wav(dir_ + "/sounds/music.wav", 22050, 2, 44100, 50, 12000);
    ASSERT_EQ(send("open \".\\sounds\\music.wav\" type waveaudio alias music"), 0u);
    EXPECT_STRNE(reply_, "");
    EXPECT_EQ(status("music", "mode"), "stopped");
    EXPECT_EQ(status("music", "length"), "2000");

    ASSERT_EQ(send("play music"), 0u);
    EXPECT_EQ(status("music", "mode"), "playing");
    auto heard = listen(250);
    EXPECT_NEAR(zero_crossings(heard), 220, 3);
    EXPECT_NEAR(rms(heard), 12000 / std::sqrt(2.0), 100);
    EXPECT_EQ(status("music", "position"), "250");

    ASSERT_EQ(send("pause music"), 0u);
    EXPECT_EQ(status("music", "mode"), "paused");
    EXPECT_EQ(rms(listen(250)), 0.0);
    EXPECT_EQ(status("music", "position"), "250");

    ASSERT_EQ(send("resume music"), 0u);
    EXPECT_EQ(status("music", "mode"), "playing");
    EXPECT_GT(rms(listen(250)), 8000);
    EXPECT_EQ(status("music", "position"), "500");

    ASSERT_EQ(send("stop music"), 0u);
    EXPECT_EQ(status("music", "mode"), "stopped");
    EXPECT_EQ(status("music", "position"), "500");
    EXPECT_EQ(rms(listen(100)), 0.0);
    ASSERT_EQ(send("seek music to start"), 0u);
    EXPECT_EQ(status("music", "position"), "0");

    // Played to the end, it stops there; another play starts it again.
    ASSERT_EQ(send("play music"), 0u);
    listen(2100);
    EXPECT_EQ(status("music", "mode"), "stopped");
    EXPECT_EQ(status("music", "position"), "2000");
    ASSERT_EQ(send("play music from 1900"), 0u);
    EXPECT_GT(rms(listen(50)), 8000);
    EXPECT_EQ(status("music", "position"), "1950");
    ASSERT_EQ(send("close music"), 0u);
    EXPECT_EQ(send("status music mode"), MCIERR_INVALID_DEVICE_NAME);
}

TEST_F(MciPlayback, Mp3MusicIsDecodedAndPlayedAtItsPitch) {
    std::filesystem::copy_file(LUDORA_MCI_DATA_DIR "/tone_441hz_2s.mp3",
                               dir_ + "/sounds/music.mp3");
    // The shell's own commands.
    ASSERT_EQ(mciSendStringA("open .\\sounds\\music.mp3 alias music", nullptr, 0, nullptr), 0u);
    const int length = std::atoi(status("music", "length").c_str());
    EXPECT_NEAR(length, 2000, 60);
    ASSERT_EQ(send("play music"), 0u);
    listen(100); // past the encoder's fade-in
    const auto heard = listen(500);
    EXPECT_NEAR(zero_crossings(heard), 441, 4);
    EXPECT_NEAR(rms(heard), 12000 / std::sqrt(2.0), 800); // a lossy copy of the tone
    ASSERT_EQ(send("pause music"), 0u);
    EXPECT_EQ(status("music", "position"), "600");
}

TEST_F(MciPlayback, EightBitWavesPlaySampleForSample) {
    std::filesystem::copy_file(LUDORA_CORPORA_DIR "/wav/hound/pcmwaveformat-8bit-44100Hz-mono.wav",
                               dir_ + "/eight.wav");
    ASSERT_EQ(send("open eight.wav"), 0u);
    ASSERT_EQ(send("play eight.wav"), 0u);
    const auto heard = listen(1);
    ASSERT_GE(heard.size(), 5u);
    EXPECT_EQ(heard[0], 19 * 256);
    EXPECT_EQ(heard[1], -53 * 256);
    EXPECT_EQ(heard[2], 89 * 256);
    EXPECT_EQ(heard[3], -127 * 256);
    EXPECT_EQ(heard[4], 0);
    EXPECT_EQ(status("eight.wav", "mode"), "stopped");
}

TEST_F(MciErrors, CommandsAnswerWithWindowsErrorCodes) {
    write_tone_wav(dir_ + "/sounds/music.wav", 22050, 1, 2205, 50, 1000);
    EXPECT_EQ(send("play music"), MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(send("pause music"), MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(send("open .\\sounds\\missing.mp3 alias music"), MCIERR_FILE_NOT_FOUND);
    EXPECT_EQ(send("fly music"), MCIERR_UNRECOGNIZED_COMMAND);
    EXPECT_EQ(send(""), MCIERR_MISSING_COMMAND_STRING);
    EXPECT_EQ(send("play"), MCIERR_MISSING_DEVICE_NAME);
    EXPECT_EQ(send("open \"sounds\\music.wav alias music"), MCIERR_NO_CLOSING_QUOTE);
    EXPECT_EQ(send("open .\\sounds\\music.wav alias"), MCIERR_MISSING_STRING_ARGUMENT);
    EXPECT_EQ(send("open .\\sounds\\music.wav loudly"), MCIERR_UNRECOGNIZED_KEYWORD);

    ASSERT_EQ(send("open .\\SOUNDS\\music.wav type mpegvideo alias Music"), 0u);
    EXPECT_EQ(send("open .\\sounds\\music.wav alias music"), MCIERR_DUPLICATE_ALIAS);
    EXPECT_EQ(status("MUSIC", "mode"), "stopped"); // aliases ignore case
    EXPECT_EQ(send("status music volume"), MCIERR_UNRECOGNIZED_KEYWORD);
    EXPECT_EQ(send("play music from soon"), MCIERR_BAD_INTEGER);
    EXPECT_EQ(send("seek music to 5000"), MCIERR_OUTOFRANGE);
    EXPECT_EQ(send("set music time format milliseconds"), 0u);
    char tiny[3];
    EXPECT_EQ(mciSendStringA("status music mode", tiny, sizeof(tiny), nullptr),
              MCIERR_PARAM_OVERFLOW);
    EXPECT_EQ(mciSendStringA(nullptr, nullptr, 0, nullptr), MCIERR_MISSING_COMMAND_STRING);
}

TEST_F(MciErrors, FilesThatAreNotMusicAreRefusedSafely) {
    const char* refused[] = {
        "/wav/scipy/test-8000Hz-le-1ch-1byte-ulaw.wav",
        "/wav/wavefile/4bit-imaadpcm-8kHz-noBext-mono.wav",
        "/wav/scipy/test-44100Hz-le-1ch-4bytes-early-eof-no-data.wav",
        "/wav/scipy/test-44100Hz-le-1ch-4bytes-incomplete-chunk.wav",
        "/wav/scipy/test-8000Hz-le-3ch-5S-24bit-inconsistent.wav",
        "/wav/go-audio/sample.avi",
    };
    for (const char* file : refused) {
        const std::string path = std::string(LUDORA_CORPORA_DIR) + file;
        EXPECT_EQ(send("open \"" + path + "\" alias bad"), MCIERR_INVALID_FILE) << file;
    }
    // Fuzzed headers with sizes far past the end of the file must not crash.
    for (const auto& entry :
         std::filesystem::directory_iterator(LUDORA_CORPORA_DIR "/wav/hound/fuzz")) {
        const MCIERROR error = send("open \"" + entry.path().string() + "\" alias fuzz");
        if (error == 0) {
            EXPECT_EQ(send("play fuzz"), 0u);
            listen(10);
            EXPECT_EQ(send("close fuzz"), 0u);
        } else {
            EXPECT_EQ(error, MCIERR_INVALID_FILE) << entry.path();
        }
    }
    // A real file with chunks after its data, and a file cut short inside its data.
    EXPECT_EQ(
        send("open \"" + std::string(LUDORA_CORPORA_DIR) + "/wav/go-audio/kick.wav\" alias kick"),
        0u);
    EXPECT_EQ(status("kick", "length"), "203");
    write_tone_wav(dir_ + "/cut.wav", 22050, 1, 22050, 50, 1000);
    std::filesystem::resize_file(dir_ + "/cut.wav", 44 + 1000);
    EXPECT_EQ(send("open cut.wav alias cut"), 0u);
    EXPECT_EQ(status("cut", "length"), "23");

    // An MP3 file of nothing is refused; one cut short plays the frames it has.
    std::filesystem::resize_file(dir_ + "/cut.wav", 0);
    std::filesystem::resize_file(dir_ + "/cut.wav", 20000);
    std::filesystem::rename(dir_ + "/cut.wav", dir_ + "/zeros.mp3");
    EXPECT_EQ(send("open zeros.mp3 alias zeros"), MCIERR_INVALID_FILE);
    std::filesystem::copy_file(LUDORA_MCI_DATA_DIR "/tone_441hz_2s.mp3", dir_ + "/short.mp3");
    std::filesystem::resize_file(dir_ + "/short.mp3", 4000);
    ASSERT_EQ(send("open short.mp3 alias short"), 0u);
    const int length = std::atoi(status("short", "length").c_str());
    EXPECT_GT(length, 200);
    EXPECT_LT(length, 1000);
}

TEST_F(MciErrors, ErrorTextsAreWindowsLike) {
    char text[256];
    ASSERT_TRUE(mciGetErrorStringA(MCIERR_FILE_NOT_FOUND, text, sizeof(text)));
    EXPECT_STREQ(text,
                 "Cannot find the specified file. Make sure the path and filename are correct.");
    ASSERT_TRUE(mciGetErrorStringA(MCIERR_INVALID_DEVICE_NAME, text, sizeof(text)));
    EXPECT_STREQ(text, "The specified device is not open or is not recognized by MCI.");
    ASSERT_TRUE(mciGetErrorStringA(MCIERR_UNRECOGNIZED_COMMAND, text, sizeof(text)));
    EXPECT_STREQ(text, "The driver cannot recognize the specified command.");
    char small[10];
    ASSERT_TRUE(mciGetErrorStringA(MCIERR_FILE_NOT_FOUND, small, sizeof(small)));
    EXPECT_STREQ(small, "Cannot fi");
    EXPECT_FALSE(mciGetErrorStringA(12345, text, sizeof(text)));
    EXPECT_STREQ(text, "");
}

TEST_F(MciErrors, NoSoundDeviceMeansNoMusic) {
    write_tone_wav(dir_ + "/music.wav", 22050, 1, 2205, 50, 1000);
    setenv("LUDORA_AUDIO", "none", 1);
    EXPECT_EQ(send("open music.wav alias music"), MCIERR_HARDWARE);
    unsetenv("LUDORA_AUDIO");
    EXPECT_EQ(send("play music"), MCIERR_INVALID_DEVICE_NAME);
}

} // namespace
} // namespace mci_test
