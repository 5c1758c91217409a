#include "dsound/buffer_voice.h"

#include "dsound/gain.h"
#include "dsound/pcm_mix.h"

#include <algorithm>

namespace ludora::audio {

BufferVoice::BufferVoice(std::shared_ptr<SampleBytes> data, const WAVEFORMATEX& format, DWORD flags)
    : data(std::move(data)), format(format), flags(flags) {}

BufferVoice::BufferVoice(const BufferVoice& original)
    : Voice(), data(original.data), format(original.format), flags(original.flags),
      volume(original.volume), pan(original.pan), frequency(original.frequency) {}

DWORD BufferVoice::play_cursor() const {
    return static_cast<DWORD>((position >> 32) * block_align());
}

DWORD BufferVoice::write_cursor() const {
    if (!playing || frame_count() == 0) return play_cursor();
    // What lies within the next mixing block is committed already.
    const uint64_t lead = std::max<uint64_t>(1, rate() / 100);
    return static_cast<DWORD>((((position >> 32) + lead) % frame_count()) * block_align());
}

void BufferVoice::set_cursor(DWORD byte_offset) {
    position = static_cast<uint64_t>(byte_offset / block_align()) << 32;
}

void BufferVoice::stop(Signals& signals) {
    if (!playing) return;
    playing = false;
    for (const DSBPOSITIONNOTIFY& n : notifications) {
        if (n.dwOffset == DSBPN_OFFSETSTOP) signals.push_back(Signal{n.hEventNotify});
    }
}

void BufferVoice::queue_crossings(uint64_t from_byte, uint64_t to_byte, Signals& signals) const {
    // An offset is passed when the cursor moves from before it to at or beyond it.
    const uint64_t loop = uint64_t{frame_count()} * block_align();
    if (loop == 0 || to_byte <= from_byte) return;
    struct Crossing {
        uint64_t at;
        HANDLE event;
    };
    Crossing crossings[64];
    size_t count = 0;
    for (const DSBPOSITIONNOTIFY& n : notifications) {
        if (n.dwOffset == DSBPN_OFFSETSTOP || n.dwOffset >= loop) continue;
        const uint64_t p = n.dwOffset;
        uint64_t at = from_byte < p ? p : p + ((from_byte - p) / loop + 1) * loop;
        for (; at <= to_byte && count < 64; at += loop)
            crossings[count++] = Crossing{at, n.hEventNotify};
    }
    std::stable_sort(crossings, crossings + count,
                     [](const Crossing& a, const Crossing& b) { return a.at < b.at; });
    for (size_t i = 0; i < count; ++i)
        signals.push_back(Signal{crossings[i].event});
}

uint64_t BufferVoice::frames_until_signal(uint32_t output_rate) const {
    if (!playing || lost || frame_count() == 0) return kNoSignal;
    const uint64_t step = resample_step(rate(), output_rate);
    const uint64_t align = block_align();
    const uint64_t loop = uint64_t{frame_count()} * align;
    const uint64_t from_byte = (position >> 32) * align;
    // A one-shot buffer stops at its end; the offsets before it are passed on the way.
    uint64_t next_frame = looping ? kNoSignal : frame_count();
    for (const DSBPOSITIONNOTIFY& n : notifications) {
        if (n.dwOffset == DSBPN_OFFSETSTOP || n.dwOffset >= loop) continue;
        const uint64_t p = n.dwOffset;
        const uint64_t at = from_byte < p ? p : p + ((from_byte - p) / loop + 1) * loop;
        next_frame = std::min(next_frame, (at + align - 1) / align);
    }
    return next_frame == kNoSignal ? kNoSignal : frames_to_reach(position, step, next_frame);
}

bool BufferVoice::mix(float* bus, uint32_t frames, uint32_t output_rate, Signals& signals) {
    if (!playing || lost) return false;
    const uint32_t total = frame_count();
    const PcmView view{data->bytes.get(), total, format.nChannels, format.wBitsPerSample};
    const uint64_t step = resample_step(rate(), output_rate);
    const uint64_t start = position;
    const uint32_t produced =
        mix_pcm(view, position, step, looping, volume_pan_gain(volume, pan), bus, frames);
    const uint64_t end = uint64_t{total} << 32;
    const bool ended = !looping && (produced < frames || position >= end);
    const uint64_t from_byte = (start >> 32) * block_align();
    const uint64_t to_byte =
        ended ? uint64_t{data->size} : ((start + produced * step) >> 32) * block_align();
    queue_crossings(from_byte, to_byte, signals);
    if (!ended) return true;
    // A one-shot buffer that reaches its end stops and rewinds.
    position = 0;
    stop(signals);
    return false;
}

} // namespace ludora::audio
