#include "wav_builder.h"

#include <chrono>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "ludora/harness_audio.h"

namespace soundtest {

namespace {

void Put16(Bytes& out, uint32_t value) {
    out.push_back((uint8_t)value);
    out.push_back((uint8_t)(value >> 8));
}

void Put32(Bytes& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

} // namespace

Chunk FmtChunk(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, size_t size) {
    Bytes data;
    uint16_t align = (uint16_t)(channels * bits / 8);
    Put16(data, tag);
    Put16(data, channels);
    Put32(data, rate);
    Put32(data, rate * align);
    Put16(data, align);
    Put16(data, bits);
    data.resize(size, 0);
    return Chunk{"fmt ", data};
}

Chunk SmplChunk(uint32_t loops, uint32_t start, uint32_t end) {
    Bytes data;
    for (int i = 0; i < 7; ++i)
        Put32(data, i == 2 ? 45351 : (i == 3 ? 60 : 0));
    Put32(data, loops);
    Put32(data, 0);
    if (loops) {
        Put32(data, 1);     // cue point
        Put32(data, 0);     // forward
        Put32(data, start); // in frames
        Put32(data, end);
        Put32(data, 0);
        Put32(data, 0);
    }
    return Chunk{"smpl", data};
}

Chunk DataChunk(const Bytes& data) {
    return Chunk{"data", data};
}

Bytes Riff(const std::vector<Chunk>& chunks) {
    Bytes body;
    body.insert(body.end(), {'W', 'A', 'V', 'E'});
    for (const Chunk& chunk : chunks) {
        body.insert(body.end(), chunk.id.begin(), chunk.id.end());
        Put32(body,
              chunk.declaredSize < 0 ? (uint32_t)chunk.data.size() : (uint32_t)chunk.declaredSize);
        body.insert(body.end(), chunk.data.begin(), chunk.data.end());
        if (chunk.data.size() & 1)
            body.push_back(0xEE); // the pad byte, with a value a reader must not take
    }
    Bytes file = {'R', 'I', 'F', 'F'};
    Put32(file, (uint32_t)body.size());
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

Bytes PcmWav(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& data) {
    return Riff({FmtChunk(1, channels, rate, bits), DataChunk(data)});
}

Bytes Pattern16(uint32_t frames, uint16_t channels) {
    Bytes data;
    for (uint32_t i = 0; i < frames * channels; ++i) {
        // Odd steps through the 16-bit range: no value repeats within 65536.
        uint16_t value = (uint16_t)(i * 40503u + 1);
        Put16(data, value);
    }
    return data;
}

Bytes Pattern8(uint32_t frames, uint16_t channels) {
    Bytes data;
    for (uint32_t i = 0; i < frames * channels; ++i)
        data.push_back((uint8_t)(0x81 + i % 100));
    return data;
}

std::string WriteTemp(const std::string& name, const Bytes& bytes) {
    std::string path = testing::TempDir() + "zqsound_" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
    return path;
}

std::vector<int16_t> Pump(uint32_t frames) {
    std::vector<int16_t> out(frames * 2);
    uint32_t mixed = LudoraPumpAudio(frames, out.data());
    out.resize(mixed * 2);
    return out;
}

bool WaitFor(const std::function<bool()>& done) {
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace soundtest
