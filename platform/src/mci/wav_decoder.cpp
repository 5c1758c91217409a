#include "mci/decoded_audio.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace ludora::mci {
namespace {

uint32_t u32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t u16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// The PCM sub-format of WAVE_FORMAT_EXTENSIBLE, after its first two bytes.
constexpr uint8_t kPcmSubformatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                           0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

} // namespace

DecodeResult decode_wav(const std::vector<uint8_t>& bytes, DecodedAudio& audio) {
    const size_t size = bytes.size();
    if (size < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        return DecodeResult::invalid;
    }
    bool have_format = false;
    uint16_t channels = 0;
    uint16_t bits = 0;
    uint32_t rate = 0;
    size_t at = 12;
    while (at + 8 <= size) {
        const uint8_t* header = bytes.data() + at;
        const uint32_t chunk = u32(header + 4);
        const size_t body = at + 8;
        // A chunk that runs past the end of the file is cut at the end.
        const size_t available = std::min<size_t>(chunk, size - body);
        if (std::memcmp(header, "fmt ", 4) == 0) {
            if (available < 16) return DecodeResult::invalid;
            const uint8_t* f = bytes.data() + body;
            uint16_t tag = u16(f);
            if (tag == 0xFFFE && available >= 40 && u16(f + 24) == 1 &&
                std::memcmp(f + 26, kPcmSubformatTail, sizeof(kPcmSubformatTail)) == 0) {
                tag = 1;
            }
            channels = u16(f + 2);
            rate = u32(f + 4);
            bits = u16(f + 14);
            if (tag != 1 || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) ||
                rate == 0 || u16(f + 12) != channels * bits / 8) {
                return DecodeResult::invalid;
            }
            have_format = true;
        } else if (std::memcmp(header, "data", 4) == 0) {
            if (!have_format) return DecodeResult::invalid;
            const size_t frame_bytes = size_t{channels} * bits / 8;
            const size_t frames = available / frame_bytes;
            const size_t samples = std::min(frames * channels, kMaxDecodedSamples);
            const uint8_t* data = bytes.data() + body;
            audio.samples.resize(samples);
            for (size_t i = 0; i < samples; ++i) {
                audio.samples[i] = bits == 8 ? static_cast<int16_t>((data[i] - 128) * 256)
                                             : static_cast<int16_t>(u16(data + i * 2));
            }
            audio.rate = rate;
            audio.channels = channels;
            return samples == 0 ? DecodeResult::invalid : DecodeResult::ok;
        }
        // Chunks are padded to an even size.
        at = body + available + (chunk & 1);
    }
    return DecodeResult::invalid;
}

DecodeResult decode_audio_file(const std::string& host_path, DecodedAudio& audio) {
    FILE* file = std::fopen(host_path.c_str(), "rb");
    if (file == nullptr) return DecodeResult::not_found;
    uint8_t magic[12] = {};
    const size_t got = std::fread(magic, 1, sizeof(magic), file);
    const bool riff =
        got == 12 && std::memcmp(magic, "RIFF", 4) == 0 && std::memcmp(magic + 8, "WAVE", 4) == 0;
    if (!riff) {
        std::fclose(file);
        return decode_mp3(host_path, audio);
    }
    std::vector<uint8_t> bytes(magic, magic + got);
    uint8_t chunk[65536];
    size_t n;
    // A WAV file is read whole; anything beyond what music could hold is not needed.
    while ((n = std::fread(chunk, 1, sizeof(chunk), file)) > 0 &&
           bytes.size() < kMaxDecodedSamples * 2 + 4096) {
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    std::fclose(file);
    return decode_wav(bytes, audio);
}

} // namespace ludora::mci
