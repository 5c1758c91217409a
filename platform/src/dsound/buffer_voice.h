// The mixing state of one secondary sound buffer. Duplicates share the sample
// bytes and keep their own cursor, controls and notifications.
#pragma once

#include "dsound.h"
#include "dsound/voice.h"

#include <memory>
#include <vector>

namespace ludora::audio {

struct SampleBytes {
    explicit SampleBytes(uint32_t size) : bytes(new uint8_t[size]), size(size) {}
    std::unique_ptr<uint8_t[]> bytes;
    const uint32_t size;
};

// Every field is guarded by the mixer's lock.
class BufferVoice : public Voice {
public:
    BufferVoice(std::shared_ptr<SampleBytes> data, const WAVEFORMATEX& format, DWORD flags);
    // A duplicate: same bytes, format and controls, its own cursor, stopped.
    BufferVoice(const BufferVoice& original);

    bool mix(float* bus, uint32_t frames, uint32_t output_rate, Signals& signals) override;
    uint64_t frames_until_signal(uint32_t output_rate) const override;

    uint32_t block_align() const { return format.nBlockAlign; }
    uint32_t frame_count() const { return data->size / format.nBlockAlign; }
    DWORD rate() const { return frequency != 0 ? frequency : format.nSamplesPerSec; }
    DWORD play_cursor() const;
    DWORD write_cursor() const;
    void set_cursor(DWORD byte_offset);
    // Stops a playing buffer and queues its stop events.
    void stop(Signals& signals);

    std::shared_ptr<SampleBytes> data;
    WAVEFORMATEX format;
    DWORD flags;
    uint64_t position = 0; // frames, 32.32 fixed point
    bool playing = false;
    bool looping = false;
    bool lost = false; // its DirectSound object is gone
    LONG volume = DSBVOLUME_MAX;
    LONG pan = DSBPAN_CENTER;
    DWORD frequency = DSBFREQUENCY_ORIGINAL;
    std::vector<DSBPOSITIONNOTIFY> notifications;

private:
    void queue_crossings(uint64_t from_byte, uint64_t to_byte, Signals& signals) const;
};

} // namespace ludora::audio
