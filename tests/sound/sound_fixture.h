// WAV files built byte by byte, and the sound object on a held clock: nothing
// mixes until a test pumps the mixer.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "ludora/harness_audio.h"
#include "ludora/harness_clock.h"
#include "zqsound.h"

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace soundtest {

// What tells the two builds of the library apart: lookup by id, and stop and
// pause by id, exist in the game's build only.
template <class T>
concept LooksUpById = requires(T sound) {
    sound.FindSampleID(1ul);
};
template <class T>
concept StopsById = requires(T sound) {
    sound.StopSample(1L);
};
template <class T>
concept PausesById = requires(T sound) {
    sound.PauseSample(1L);
};

using Bytes = std::vector<uint8_t>;

inline void Put(Bytes& out, uint32_t value, int bytes) {
    testkit::PutLittle(out, value, bytes);
}

struct Chunk {
    std::string id;
    Bytes data;
    int64_t declaredSize = -1; // the size in the header, when not the data's
};

inline Chunk Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, size_t size = 16) {
    Bytes data;
    Put(data, tag, 2);
    Put(data, channels, 2);
    Put(data, rate, 4);
    Put(data, rate * channels * bits / 8, 4);
    Put(data, channels * bits / 8, 2);
    Put(data, bits, 2);
    data.resize(size, 0);
    return Chunk{"fmt ", data};
}

// A "smpl" chunk with `loops` loops, the first from `start` to `end`.
inline Chunk Smpl(uint32_t loops, uint32_t start, uint32_t end) {
    Bytes data(28, 0);
    Put(data, loops, 4);
    Put(data, 0, 4);
    for (uint32_t value : {1u, 0u, start, end, 0u, 0u})
        Put(data, value, loops ? 4 : 0);
    return Chunk{"smpl", data};
}

inline Bytes Riff(const std::vector<Chunk>& chunks) {
    Bytes body = {'W', 'A', 'V', 'E'};
    for (const Chunk& chunk : chunks) {
        body.insert(body.end(), chunk.id.begin(), chunk.id.end());
        Put(body,
            chunk.declaredSize < 0 ? (uint32_t)chunk.data.size() : (uint32_t)chunk.declaredSize, 4);
        body.insert(body.end(), chunk.data.begin(), chunk.data.end());
        if (chunk.data.size() & 1) body.push_back(0xEE); // a pad byte no reader may take for data
    }
    Bytes file = {'R', 'I', 'F', 'F'};
    Put(file, (uint32_t)body.size(), 4);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

inline Bytes Wav(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& data) {
    return Riff({Fmt(1, channels, rate, bits), Chunk{"data", data}});
}

// `frames` frames of 16-bit samples that differ from their neighbours, or of
// 8-bit samples that never sit at the midpoint 0x80.
inline Bytes Pattern(uint32_t frames, uint16_t channels, uint16_t bits = 16) {
    Bytes data;
    for (uint32_t i = 0; i < frames * channels; ++i)
        Put(data, bits == 8 ? 0x81 + i % 100 : i * 40503u + 1, bits / 8);
    return data;
}

inline std::vector<int16_t> Samples16(const Bytes& data) {
    std::vector<int16_t> out(data.size() / 2);
    memcpy(out.data(), data.data(), out.size() * 2);
    return out;
}

// The files a test writes, in a folder of its own (one per process: CTest runs
// tests side by side) that goes when the test ends.
inline std::unique_ptr<testkit::TempFolder>& TempFiles() {
    static std::unique_ptr<testkit::TempFolder> folder;
    return folder;
}

inline void RemoveTempFiles() {
    TempFiles().reset();
}

inline std::string WriteTemp(const std::string& name, const Bytes& bytes) {
    if (!TempFiles()) TempFiles() = std::make_unique<testkit::TempFolder>("zqsound");
    const std::string path = TempFiles()->File(name);
    testkit::WriteBytes(path, bytes);
    return path;
}

// Mixes `frames` device frames (22050 Hz, the library's primary format).
inline std::vector<int16_t> Pump(uint32_t frames) {
    std::vector<int16_t> out(frames * 2);
    out.resize(LudoraPumpAudio(frames, out.data()) * 2);
    return out;
}

// Waits, briefly and in real time, for a library thread to bring `done` about.
inline bool WaitFor(const std::function<bool()>& done) {
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return done();
}

} // namespace soundtest

class SoundTest : public ::testing::Test {
protected:
    virtual int PoolSize() { return 16; }

    void SetUp() override {
        LudoraHoldClock();
        ASSERT_EQ(1, g_Sound.Init(nullptr, PoolSize()));
        uint32_t rate = 0;
        uint16_t channels = 0, bits = 0;
        LudoraAudioFormat(&rate, &channels, &bits);
        ASSERT_EQ(22050u, rate);
    }

    void TearDown() override {
        g_Sound.Exit();
        LudoraReleaseClock();
        soundtest::RemoveTempFiles();
    }

    int Load(const std::string& name, const soundtest::Bytes& bytes, unsigned long id) {
        return g_Sound.LoadSample(soundtest::WriteTemp(name, bytes).data(), id);
    }

    static SNDSample* Slot(int i) { return &ZQSound::g_SampleList[i]; }

    static DWORD PlayCursor(SNDSample* sample) {
        DWORD play = 0, write = 0;
        sample->lpBuffer->GetCurrentPosition(&play, &write);
        return play;
    }
};
