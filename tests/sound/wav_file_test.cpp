// Real-world and broken WAV files: each is loaded or refused cleanly, and a
// loaded one never holds more data than its file.
#include <dirent.h>
#include <sys/stat.h>

#include <map>

#include "sound_fixture.h"

using namespace soundtest;

class WavFileTest : public SoundTest {
protected:
    int PoolSize() override { return 4; }

    // Loads `path`; a loaded sample is checked against the file and freed.
    int LoadChecked(std::string path, uint64_t fileSize) {
        int result = g_Sound.LoadSample(path.data(), 50);
        SNDSample* sample = g_Sound.FindSampleID(50);
        EXPECT_EQ(result != 0, sample != nullptr);
        if (sample) {
            EXPECT_GT(sample->dwDataSize, 0u);
            EXPECT_LE(sample->dwDataSize, fileSize);
            g_Sound.FreeSample(sample);
        }
        for (int i = 0; i < PoolSize(); ++i)
            EXPECT_EQ(0u, Slot(i)->dwFlags.load());
        return result;
    }
};

TEST_F(WavFileTest, EveryCorpusFileLoadsOrIsRefusedCleanly) {
    std::map<std::string, int> results;
    for (std::string folder : {"hound", "hound/fuzz", "scipy", "go-audio", "wavefile"}) {
        std::string path = std::string(LUDORA_CORPORA_DIR) + "/wav/" + folder + "/";
        DIR* dir = opendir(path.c_str());
        ASSERT_NE(nullptr, dir) << path;
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            struct stat info;
            if (name[0] == '.' || name.ends_with(".txt") ||
                stat((path + name).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
                continue;
            SCOPED_TRACE(path + name);
            results[folder + "/" + name] = LoadChecked(path + name, (uint64_t)info.st_size);
        }
        closedir(dir);
    }
    EXPECT_GT(results.size(), 60u);
    // PCM of 8 or 16 bits loads, odd chunks and bad RIFF sizes included;
    // other codecs, 24 bits (no such buffers), RIFX, RF64 and non-WAVE refuse.
    const std::pair<const char*, int> expected[] = {
        {"hound/pcmwaveformat-8bit-44100Hz-mono.wav", 1},
        {"hound/waveformatex-8bit-11025Hz-mono.wav", 1},
        {"hound/pcmwaveformat-16bit-44100Hz-mono-extra.wav", 1},
        {"go-audio/kick.wav", 1},
        {"wavefile/8bit-16kHz-bext-mono.wav", 1},
        {"scipy/test-8000Hz-le-2ch-1byteu.wav", 1},
        {"go-audio/misaligned-chunk.wav", 0},
        {"wavefile/4bit-imaadpcm-8kHz-noBext-mono.wav", 0},
        {"wavefile/8bit-alaw-8kHz-noBext-mono-encoded.wav", 0},
        {"hound/waveformatex-ieeefloat-44100Hz-mono.wav", 0},
        {"scipy/test-44100Hz-be-1ch-4bytes.wav", 0},
        {"scipy/test-44100Hz-le-1ch-4bytes-rf64.wav", 0},
        {"scipy/test-44100Hz-le-1ch-4bytes-incomplete-chunk.wav", 0},
        {"go-audio/sample.avi", 0},
    };
    for (const auto& [file, loads] : expected) {
        ASSERT_TRUE(results.count(file)) << file;
        EXPECT_EQ(loads, results[file]) << file;
    }

    // The standard loop of a real "smpl" chunk.
    std::string path =
        std::string(LUDORA_CORPORA_DIR) + "/wav/wavefile/16bit-9khz-1c-1region-reaper.wav";
    ASSERT_EQ(1, g_Sound.LoadSample(path.data(), 10));
    EXPECT_TRUE(g_Sound.FindSampleID(10)->dwFlags & SND_LOOPED);
    EXPECT_EQ(4000u << 2, g_Sound.FindSampleID(10)->dwLoopStart);
    EXPECT_EQ(8000u << 2, g_Sound.FindSampleID(10)->dwLoopEnd);
}

TEST_F(WavFileTest, BrokenSizesAreRefusedOrCutToTheFile) {
    Chunk data{"data", Pattern(100, 1)};
    Chunk huge{"LIST", Bytes(8, 0), 0xFFFFFFF0};
    const Bytes refused[] = {
        Riff({Fmt(1, 1, 22050, 16, 14), data}),   // "fmt " under 16 bytes
        Riff({Fmt(1, 0, 22050, 16), data}),       // no channels
        Riff({Fmt(1, 1, 22050, 0), data}),        // no bits
        Riff({Fmt(1, 1, 0, 16), data}),           // no rate
        Riff({Fmt(1, 1, 22050, 16), huge, data}), // a chunk past the end hides the data
        Wav(1, 22050, 16, Bytes()),               // no data
        Wav(2, 22050, 16, Bytes(3, 1)),           // less than a frame
    };
    for (const Bytes& file : refused)
        EXPECT_EQ(0, LoadChecked(WriteTemp("bad.wav", file), file.size()));

    // A "data" chunk larger than the file is cut to the whole frames present.
    Chunk big{"data", Pattern(100, 1), 0x7FFFFFFF};
    big.data.push_back(1);
    Bytes file = Riff({Fmt(1, 1, 22050, 16), big});
    file.pop_back();
    ASSERT_EQ(1, Load("big.wav", file, 11));
    EXPECT_EQ(200u, g_Sound.FindSampleID(11)->dwDataSize);
    g_Sound.FreeSample(g_Sound.FindSampleID(11));

    // A whole "data" chunk keeps its size, even one that ends inside a frame.
    Bytes odd = Pattern(100, 1);
    odd.push_back(0x55);
    ASSERT_EQ(1, Load("odd.wav", Wav(1, 22050, 16, odd), 12));
    SNDSample* sample = g_Sound.FindSampleID(12);
    EXPECT_EQ(201u, sample->dwDataSize);
    DSBCAPS caps = {sizeof(caps)};
    ASSERT_EQ(DS_OK, sample->lpBuffer->GetCaps(&caps));
    EXPECT_EQ(201u, caps.dwBufferBytes);
    g_Sound.FreeSample(sample);

    // Every cut of a good file is safe.
    Bytes good = Riff({Fmt(1, 2, 22050, 16), Chunk{"LIST", Bytes(5, 'x')}, Smpl(1, 1, 50),
                       Chunk{"data", Pattern(64, 2)}});
    for (size_t cut = 0; cut < good.size(); cut += 3)
        LoadChecked(WriteTemp("cut.wav", Bytes(good.begin(), good.begin() + cut)), cut);
}
