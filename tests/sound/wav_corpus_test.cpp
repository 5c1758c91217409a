// Real-world and broken WAV files: each is loaded or refused cleanly, and a
// loaded one never holds more data than the file does.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "sound_fixture.h"

using namespace soundtest;

namespace {

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> files;
    std::vector<std::string> folders = {"hound", "hound/fuzz", "scipy", "go-audio", "wavefile"};
    for (const std::string& folder : folders) {
        std::string path = std::string(LUDORA_CORPORA_DIR) + "/wav/" + folder;
        DIR* dir = opendir(path.c_str());
        if (!dir) continue;
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name.size() > 4 && name.find(".txt") == std::string::npos && name[0] != '.')
                files.push_back(path + "/" + name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

uint64_t SizeOf(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? (uint64_t)info.st_size : 0;
}

bool Ends(const std::string& path, const std::string& tail) {
    return path.size() >= tail.size() &&
           path.compare(path.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

class WavCorpusTest : public SoundTest {
protected:
    int PoolSize() override { return 8; }
};

TEST_F(WavCorpusTest, EveryCorpusFileLoadsOrIsRefusedWithItsSlotFree) {
    std::vector<std::string> files = CorpusFiles();
    ASSERT_GT(files.size(), 50u);
    int loaded = 0;
    unsigned long id = 100;
    for (std::string path : files) {
        SCOPED_TRACE(path);
        int result = g_Sound.LoadSample(path.data(), id);
        SNDSample* sample = g_Sound.FindSampleID(id);
        if (result) {
            ++loaded;
            ASSERT_NE(nullptr, sample);
            EXPECT_NE(nullptr, sample->lpBuffer);
            EXPECT_GT(sample->dwDataSize, 0u);
            EXPECT_LE(sample->dwDataSize, SizeOf(path));
            EXPECT_GT(sample->dwChannels, 0u);
            EXPECT_GT(sample->dwBitsPerSample, 0u);
            g_Sound.FreeSample(sample);
        } else {
            EXPECT_EQ(nullptr, sample);
        }
        // Nothing is left behind either way.
        for (int i = 0; i < PoolSize(); ++i)
            ASSERT_EQ(0u, Slot(i)->dwFlags.load());
        ++id;
    }
    EXPECT_GT(loaded, 15);

    // Files that are plainly PCM WAV load; the rest are refused.
    struct Expect {
        const char* tail;
        int loads;
    };
    const Expect expected[] = {
        {"hound/pcmwaveformat-8bit-44100Hz-mono.wav", 1},
        {"hound/waveformatex-8bit-11025Hz-mono.wav", 1},
        {"hound/pcmwaveformat-16bit-44100Hz-mono-extra.wav", 1},
        {"go-audio/kick.wav", 1},
        {"go-audio/misaligned-chunk.wav", 0}, // 24-bit: no such buffers
        {"wavefile/8bit-16kHz-bext-mono.wav", 1},
        {"scipy/test-8000Hz-le-2ch-1byteu.wav", 1},
        {"scipy/test-44100Hz-le-1ch-4bytes-early-eof.wav", -1}, // cut to the bytes present
        {"wavefile/4bit-imaadpcm-8kHz-noBext-mono.wav", 0},
        {"wavefile/8bit-alaw-8kHz-noBext-mono-encoded.wav", 0},
        {"hound/waveformatex-ieeefloat-44100Hz-mono.wav", 0},
        {"hound/waveformatextensible-32bit-48kHz-stereo.wav", 0},
        {"scipy/test-44100Hz-be-1ch-4bytes.wav", 0},
        {"scipy/test-44100Hz-le-1ch-4bytes-rf64.wav", 0},
        {"scipy/test-44100Hz-le-1ch-4bytes-early-eof-no-data.wav", 0},
        {"scipy/test-44100Hz-le-1ch-4bytes-incomplete-chunk.wav", 0},
        {"go-audio/sample.avi", 0},
        {"go-audio/bloop.aif", 0},
    };
    for (const Expect& e : expected) {
        auto it = std::find_if(files.begin(), files.end(),
                               [&](const std::string& f) { return Ends(f, e.tail); });
        ASSERT_NE(files.end(), it) << e.tail;
        std::string path = *it;
        int result = g_Sound.LoadSample(path.data(), 7);
        if (e.loads >= 0) {
            EXPECT_EQ(e.loads, result) << e.tail;
        }
        if (result) g_Sound.FreeSample(g_Sound.FindSampleID(7));
    }
}

TEST_F(WavCorpusTest, TheSamplerLoopOfARealFileIsRead) {
    std::string path =
        std::string(LUDORA_CORPORA_DIR) + "/wav/wavefile/16bit-9khz-1c-1region-reaper.wav";
    ASSERT_EQ(1, g_Sound.LoadSample(path.data(), 10));
    SNDSample* sample = g_Sound.FindSampleID(10);
    ASSERT_NE(nullptr, sample);
    EXPECT_TRUE(sample->dwFlags & SND_LOOPED);
    EXPECT_EQ(4000u << 2, sample->dwLoopStart);
    EXPECT_EQ(8000u << 2, sample->dwLoopEnd);
    EXPECT_EQ(8000u, sample->dwSampleRate);
}

TEST_F(WavCorpusTest, BrokenSizesAreRefusedOrCutToTheFile) {
    Bytes data = Pattern16(100, 1);
    // "fmt " shorter than 16 bytes.
    EXPECT_EQ(0, Load("shortfmt.wav", Riff({FmtChunk(1, 1, 22050, 16, 14), DataChunk(data)}), 10));
    // No channels, no bits, no rate.
    EXPECT_EQ(0, Load("nochan.wav", PcmWav(0, 22050, 16, data), 10));
    EXPECT_EQ(0, Load("nobits.wav", PcmWav(1, 22050, 0, data), 10));
    EXPECT_EQ(0, Load("norate.wav", PcmWav(1, 0, 16, data), 10));
    // A chunk before "data" claiming more than the file holds hides the data.
    Chunk huge{"LIST", Bytes(8, 0), 0xFFFFFFF0};
    EXPECT_EQ(0,
              Load("hugechunk.wav", Riff({FmtChunk(1, 1, 22050, 16), huge, DataChunk(data)}), 10));
    // An empty data chunk, or one whose only bytes are half a frame.
    EXPECT_EQ(0, Load("empty.wav", PcmWav(1, 22050, 16, Bytes()), 10));
    EXPECT_EQ(0, Load("half.wav", PcmWav(2, 22050, 16, Bytes(3, 1)), 10));
    // A truncated header.
    EXPECT_EQ(0, Load("riffonly.wav", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V'}, 10));
    for (int i = 0; i < PoolSize(); ++i)
        ASSERT_EQ(0u, Slot(i)->dwFlags.load());

    // A "data" chunk larger than the file is cut to the whole frames present.
    Chunk big = DataChunk(Bytes(data.begin(), data.begin() + 101));
    big.declaredSize = 0x7FFFFFFF;
    Bytes file = Riff({FmtChunk(1, 1, 22050, 16), big});
    file.pop_back(); // no pad byte either
    ASSERT_EQ(1, Load("bigdata.wav", file, 11));
    EXPECT_EQ(100u, g_Sound.FindSampleID(11)->dwDataSize);

    // Every cut of a good file is safe.
    Bytes good = Riff({FmtChunk(1, 2, 22050, 16), Chunk{"LIST", Bytes(5, 'x')}, SmplChunk(1, 1, 50),
                       DataChunk(Pattern16(64, 2))});
    for (size_t cut = 0; cut < good.size(); cut += 3) {
        Bytes part(good.begin(), good.begin() + cut);
        int result = Load("cut.wav", part, 12);
        if (result) {
            SNDSample* sample = g_Sound.FindSampleID(12);
            ASSERT_NE(nullptr, sample);
            EXPECT_LE(sample->dwDataSize, cut);
            EXPECT_EQ(0u, sample->dwDataSize % 4);
            g_Sound.FreeSample(sample);
        }
    }
}
