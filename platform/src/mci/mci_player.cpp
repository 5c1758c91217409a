#include "mci/mci_player.h"

#include "dsound/pcm_mix.h"

#include <algorithm>

namespace ludora::mci {

void MciPlayer::seek(uint32_t frame) {
    position_ = uint64_t{std::min(frame, frames())} << 32;
}

void MciPlayer::set_end_frame(uint32_t frame) {
    end_frame_ = std::min(frame, frames());
}

uint32_t MciPlayer::frame_of(uint32_t ms) const {
    return static_cast<uint32_t>(std::min<uint64_t>(uint64_t{ms} * rate() / 1000, frames()));
}

void MciPlayer::settle_notification(UINT status, audio::Signals& signals) {
    if (!notify_pending_) return;
    notify_pending_ = false;
    // Without a callback window there is nobody to tell.
    if (notify_window_ == nullptr) return;
    signals.push_back(
        audio::Signal{nullptr, notify_window_, MM_MCINOTIFY, status, static_cast<LPARAM>(id_)});
}

uint64_t MciPlayer::frames_until_signal(uint32_t output_rate) const {
    if (mode_ != PlayerMode::playing) return audio::kNoSignal;
    return audio::frames_to_reach(position_, audio::resample_step(audio_->rate, output_rate),
                                  end_frame_);
}

bool MciPlayer::mix(float* bus, uint32_t frames, uint32_t output_rate, audio::Signals& signals) {
    if (mode_ != PlayerMode::playing) return false;
    const audio::PcmView view{reinterpret_cast<const uint8_t*>(audio_->samples.data()), end_frame_,
                              audio_->channels, 16};
    const uint32_t produced =
        audio::mix_pcm(view, position_, audio::resample_step(audio_->rate, output_rate), false,
                       audio::StereoGain{1.0f, 1.0f}, bus, frames);
    if (produced == frames && frame() < end_frame_) return true;
    seek(end_frame_);
    mode_ = PlayerMode::stopped;
    settle_notification(MCI_NOTIFY_SUCCESSFUL, signals);
    return false;
}

} // namespace ludora::mci
