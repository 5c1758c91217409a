// The MCI player's voice on the mixer: decoded music with a position, played,
// paused and stopped, that reports the end of a "play ... notify".
#pragma once

#include "dsound/voice.h"
#include "mci/decoded_audio.h"
#include "mmsystem.h"

#include <memory>

namespace ludora::mci {

enum class PlayerMode { stopped, playing, paused };

// Every field is guarded by the mixer's lock.
class MciPlayer : public audio::Voice {
public:
    MciPlayer(std::shared_ptr<const DecodedAudio> audio, MCIDEVICEID id)
        : audio_(std::move(audio)), id_(id) {}

    bool mix(float* bus, uint32_t frames, uint32_t output_rate, audio::Signals& signals) override;
    uint64_t frames_until_signal(uint32_t output_rate) const override;

    PlayerMode mode() const { return mode_; }
    void set_mode(PlayerMode mode) { mode_ = mode; }
    uint32_t frame() const { return static_cast<uint32_t>(position_ >> 32); }
    void seek(uint32_t frame);
    uint32_t end_frame() const { return end_frame_; }
    void set_end_frame(uint32_t frame);
    uint32_t frames() const { return audio_->frames(); }
    uint32_t rate() const { return audio_->rate; }
    uint32_t ms_of(uint32_t frame) const {
        return static_cast<uint32_t>((uint64_t{frame} * 1000 + rate() / 2) / rate());
    }
    uint32_t frame_of(uint32_t ms) const;

    // A pending "notify": answered with `status` (or nothing when none is pending).
    void settle_notification(UINT status, audio::Signals& signals);
    void expect_notification(HWND window) {
        notify_window_ = window;
        notify_pending_ = true;
    }
    bool notification_pending() const { return notify_pending_; }

private:
    std::shared_ptr<const DecodedAudio> audio_;
    MCIDEVICEID id_;
    PlayerMode mode_ = PlayerMode::stopped;
    uint64_t position_ = 0; // frames, 32.32 fixed point
    uint32_t end_frame_ = 0;
    HWND notify_window_ = nullptr;
    bool notify_pending_ = false;
};

} // namespace ludora::mci
