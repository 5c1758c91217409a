// Builds WAV files byte by byte for the sound library's tests, and runs the
// library on a held clock with the mixer pumped by hand.
#pragma once

#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

namespace soundtest {

using Bytes = std::vector<uint8_t>;

struct Chunk {
    std::string id; // four characters
    Bytes data;
    // The size written in the header; by default the data's size.
    int64_t declaredSize = -1;
};

// A "fmt " chunk: the 16 bytes of PCMWAVEFORMAT, cut or extended to `size`.
Chunk FmtChunk(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, size_t size = 16);
// A "smpl" chunk with one loop from `start` to `end` (or none when loops is 0).
Chunk SmplChunk(uint32_t loops, uint32_t start, uint32_t end);
Chunk DataChunk(const Bytes& data);
// "RIFF", size, "WAVE" and the chunks, odd ones padded.
Bytes Riff(const std::vector<Chunk>& chunks);
// A plain PCM file.
Bytes PcmWav(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& data);

// Distinct 16-bit values for every sample of `frames` frames.
Bytes Pattern16(uint32_t frames, uint16_t channels);
// 8-bit samples that never sit at the silence level 0x80.
Bytes Pattern8(uint32_t frames, uint16_t channels);

// Writes the file into the test's temporary folder and answers its path.
std::string WriteTemp(const std::string& name, const Bytes& bytes);

// Mixes `frames` device frames on the caller's thread (16-bit stereo out).
std::vector<int16_t> Pump(uint32_t frames);
// Waits (briefly, in real time) for a library thread to bring `done` about.
bool WaitFor(const std::function<bool()>& done);

} // namespace soundtest
