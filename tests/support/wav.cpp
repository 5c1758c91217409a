#include "tests/support/wav.h"

#include <algorithm>
#include <cstring>

#include "tests/support/files.h"

namespace testkit {

std::vector<uint8_t> WavBytes(int channels, int rate, int bits, const std::vector<uint8_t>& data) {
    const uint32_t block = static_cast<uint32_t>(channels * bits / 8);
    std::vector<uint8_t> bytes{'R', 'I', 'F', 'F'};
    PutLittle(bytes, 36 + static_cast<uint32_t>(data.size()), 4);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLittle(bytes, 16, 4);
    PutLittle(bytes, 1, 2); // PCM
    PutLittle(bytes, static_cast<uint32_t>(channels), 2);
    PutLittle(bytes, static_cast<uint32_t>(rate), 4);
    PutLittle(bytes, static_cast<uint32_t>(rate) * block, 4);
    PutLittle(bytes, block, 2);
    PutLittle(bytes, static_cast<uint32_t>(bits), 2);
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    PutLittle(bytes, static_cast<uint32_t>(data.size()), 4);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

bool WriteWav(const fs::path& path, int channels, int rate, const std::vector<int16_t>& samples) {
    std::vector<uint8_t> data;
    for (int16_t sample : samples)
        PutLittle(data, static_cast<uint16_t>(sample), 2);
    return WriteBytes(path, WavBytes(channels, rate, 16, data));
}

bool WriteSquareWav(const fs::path& path, uint32_t frames, int16_t amplitude) {
    std::vector<int16_t> samples(frames);
    for (uint32_t i = 0; i < frames; ++i)
        samples[i] = (i / 25) % 2 ? amplitude : static_cast<int16_t>(-amplitude);
    return WriteWav(path, 1, 22050, samples);
}

bool ReadWavFile(const fs::path& path, WavFile& wav) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return false;
    wav.riffSize = Little(bytes, 4, 4);
    wav.fileSize = bytes.size();
    bool format = false;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const uint32_t size = Little(bytes, at + 4, 4);
        wav.whole = wav.whole && at + 8 + static_cast<size_t>(size) <= bytes.size();
        if (!format && std::memcmp(&bytes[at], "fmt ", 4) == 0) {
            wav.format = static_cast<int>(Little(bytes, at + 8, 2));
            wav.channels = static_cast<int>(Little(bytes, at + 10, 2));
            wav.rate = static_cast<int>(Little(bytes, at + 12, 4));
            wav.bits = static_cast<int>(Little(bytes, at + 22, 2));
            format = true;
        } else if (format && std::memcmp(&bytes[at], "data", 4) == 0) {
            wav.dataSize = size;
            wav.dataOffset = at + 8;
            const size_t end = std::min(bytes.size(), at + 8 + static_cast<size_t>(size));
            wav.data.assign(bytes.begin() + static_cast<ptrdiff_t>(at + 8),
                            bytes.begin() + static_cast<ptrdiff_t>(end));
            return true;
        }
        at += 8 + static_cast<size_t>(size) + (size & 1);
    }
    return false;
}

Sound ReadWav(const fs::path& path, int onlyChannel) {
    Sound sound;
    WavFile wav;
    if (!ReadWavFile(path, wav) || wav.bits != 16 || wav.channels <= 0) return sound;
    sound.rate = wav.rate;
    const size_t frame = 2 * static_cast<size_t>(wav.channels);
    for (size_t at = 0; at + frame <= wav.data.size(); at += frame) {
        int sum = 0;
        for (int c = 0; c < wav.channels; ++c)
            if (onlyChannel < 0 || onlyChannel == c)
                sum += static_cast<int16_t>(Little(wav.data, at + 2 * c, 2));
        sound.samples.push_back(static_cast<int16_t>(std::clamp(sum, -32768, 32767)));
    }
    return sound;
}

} // namespace testkit
