#include "dsound/sound_buffer.h"

#include "dsound/mixer.h"

#include <algorithm>
#include <cstring>

namespace ludora::audio {
namespace {

std::mutex& mixer_mutex() {
    return Mixer::instance().mutex();
}

} // namespace

SoundBuffer::SoundBuffer(std::shared_ptr<DeviceState> device, std::shared_ptr<BufferVoice> voice)
    : device_(std::move(device)), voice_(std::move(voice)) {}

SoundBuffer::~SoundBuffer() = default;

HRESULT SoundBuffer::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDirectSoundBuffer) {
        *object = static_cast<IDirectSoundBuffer*>(this);
    } else if (riid == IID_IDirectSoundNotify) {
        *object = static_cast<IDirectSoundNotify*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG SoundBuffer::AddRef() {
    return ++references_;
}

ULONG SoundBuffer::Release() {
    const ULONG left = --references_;
    if (left != 0) return left;
    {
        // A released buffer falls silent at once; the mixer drops it on its next pass.
        std::lock_guard lock(mixer_mutex());
        voice_->playing = false;
    }
    delete this;
    return 0;
}

HRESULT SoundBuffer::GetCaps(LPDSBCAPS caps) {
    if (caps == nullptr || caps->dwSize != sizeof(DSBCAPS)) return DSERR_INVALIDPARAM;
    std::lock_guard lock(mixer_mutex());
    caps->dwFlags = (voice_->flags & ~DSBCAPS_LOCHARDWARE) | DSBCAPS_LOCSOFTWARE;
    caps->dwBufferBytes = voice_->data->size;
    caps->dwUnlockTransferRate = 0;
    caps->dwPlayCpuOverhead = 0;
    return DS_OK;
}

HRESULT SoundBuffer::GetCurrentPosition(LPDWORD play, LPDWORD write) {
    Mixer::instance().catch_up();
    std::lock_guard lock(mixer_mutex());
    if (play != nullptr) *play = voice_->play_cursor();
    if (write != nullptr) *write = voice_->write_cursor();
    return DS_OK;
}

HRESULT SoundBuffer::GetFormat(LPWAVEFORMATEX format, DWORD size, LPDWORD written) {
    if (format == nullptr) {
        if (written == nullptr) return DSERR_INVALIDPARAM;
        *written = sizeof(WAVEFORMATEX);
        return DS_OK;
    }
    if (size < sizeof(PCMWAVEFORMAT)) return DSERR_INVALIDPARAM;
    WAVEFORMATEX copy;
    {
        std::lock_guard lock(mixer_mutex());
        copy = voice_->format;
    }
    copy.cbSize = 0;
    const DWORD bytes = std::min<DWORD>(size, sizeof(WAVEFORMATEX));
    std::memcpy(format, &copy, bytes);
    if (written != nullptr) *written = bytes;
    return DS_OK;
}

HRESULT SoundBuffer::GetVolume(LPLONG volume) {
    if (volume == nullptr) return DSERR_INVALIDPARAM;
    std::lock_guard lock(mixer_mutex());
    *volume = voice_->volume;
    return DS_OK;
}

HRESULT SoundBuffer::GetPan(LPLONG pan) {
    if (pan == nullptr) return DSERR_INVALIDPARAM;
    std::lock_guard lock(mixer_mutex());
    *pan = voice_->pan;
    return DS_OK;
}

HRESULT SoundBuffer::GetFrequency(LPDWORD frequency) {
    if (frequency == nullptr) return DSERR_INVALIDPARAM;
    std::lock_guard lock(mixer_mutex());
    *frequency = voice_->rate();
    return DS_OK;
}

HRESULT SoundBuffer::GetStatus(LPDWORD status) {
    Mixer::instance().catch_up();
    if (status == nullptr) return DSERR_INVALIDPARAM;
    std::lock_guard lock(mixer_mutex());
    // Only the DirectX 5 flags: programs compare the status with them whole.
    DWORD result = voice_->lost ? DSBSTATUS_BUFFERLOST : 0;
    if (voice_->playing) result |= DSBSTATUS_PLAYING | (voice_->looping ? DSBSTATUS_LOOPING : 0);
    *status = result;
    return DS_OK;
}

HRESULT SoundBuffer::Initialize(LPDIRECTSOUND, LPCDSBUFFERDESC) {
    return DSERR_ALREADYINITIALIZED;
}

HRESULT SoundBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* ptr1, LPDWORD bytes1, LPVOID* ptr2,
                          LPDWORD bytes2, DWORD flags) {
    if (ptr1 == nullptr || bytes1 == nullptr) return DSERR_INVALIDPARAM;
    const DWORD size = voice_->data->size;
    uint8_t* base = voice_->data->bytes.get();
    if (flags & DSBLOCK_ENTIREBUFFER) {
        offset = 0;
        bytes = size;
    } else if (flags & DSBLOCK_FROMWRITECURSOR) {
        std::lock_guard lock(mixer_mutex());
        offset = voice_->write_cursor();
    }
    if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
    // A range that runs past the end continues at the start, as a second region.
    const DWORD first = std::min(bytes, size - offset);
    const DWORD second = bytes - first;
    *ptr1 = base + offset;
    *bytes1 = first;
    if (ptr2 != nullptr) *ptr2 = second != 0 ? base : nullptr;
    if (bytes2 != nullptr) *bytes2 = ptr2 != nullptr ? second : 0;
    return DS_OK;
}

HRESULT SoundBuffer::Play(DWORD, DWORD, DWORD flags) {
    Mixer::instance().catch_up();
    std::lock_guard lock(mixer_mutex());
    if (voice_->lost) return DSERR_BUFFERLOST;
    voice_->looping = (flags & DSBPLAY_LOOPING) != 0;
    if (!voice_->playing) {
        voice_->playing = true;
        Mixer::instance().activate_locked(voice_);
    } else {
        Mixer::instance().timing_changed_locked(); // looping or not
    }
    return DS_OK;
}

HRESULT SoundBuffer::SetCurrentPosition(DWORD position) {
    Mixer::instance().catch_up();
    std::lock_guard lock(mixer_mutex());
    if (position >= voice_->data->size) return DSERR_INVALIDPARAM;
    voice_->set_cursor(position);
    Mixer::instance().timing_changed_locked();
    return DS_OK;
}

HRESULT SoundBuffer::SetFormat(LPCWAVEFORMATEX) {
    return DSERR_INVALIDCALL;
}

HRESULT SoundBuffer::SetVolume(LONG volume) {
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    std::lock_guard lock(mixer_mutex());
    voice_->volume = volume;
    return DS_OK;
}

HRESULT SoundBuffer::SetPan(LONG pan) {
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    std::lock_guard lock(mixer_mutex());
    voice_->pan = pan;
    return DS_OK;
}

HRESULT SoundBuffer::SetFrequency(DWORD frequency) {
    if (frequency != DSBFREQUENCY_ORIGINAL &&
        (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX)) {
        return DSERR_INVALIDPARAM;
    }
    Mixer::instance().catch_up();
    std::lock_guard lock(mixer_mutex());
    voice_->frequency = frequency;
    Mixer::instance().timing_changed_locked();
    return DS_OK;
}

HRESULT SoundBuffer::Stop() {
    Mixer::instance().catch_up();
    Signals signals;
    {
        std::lock_guard lock(mixer_mutex());
        voice_->stop(signals);
    }
    deliver(signals);
    return DS_OK;
}

HRESULT SoundBuffer::Unlock(LPVOID ptr1, DWORD bytes1, LPVOID ptr2, DWORD bytes2) {
    // Taking the mixer's lock orders what the caller wrote before the mixer's next read.
    std::lock_guard lock(mixer_mutex());
    const uint8_t* base = voice_->data->bytes.get();
    const DWORD size = voice_->data->size;
    const auto* first = static_cast<const uint8_t*>(ptr1);
    if (first == nullptr || first < base || first >= base + size ||
        bytes1 > size - (first - base)) {
        return DSERR_INVALIDPARAM;
    }
    if (ptr2 != nullptr && (ptr2 != base || bytes2 > size)) return DSERR_INVALIDPARAM;
    return DS_OK;
}

HRESULT SoundBuffer::Restore() {
    return DS_OK;
}

HRESULT SoundBuffer::SetNotificationPositions(DWORD count, LPCDSBPOSITIONNOTIFY positions) {
    if (count != 0 && positions == nullptr) return DSERR_INVALIDPARAM;
    std::lock_guard lock(mixer_mutex());
    if (voice_->playing) return DSERR_INVALIDCALL;
    for (DWORD i = 0; i < count; ++i) {
        const DSBPOSITIONNOTIFY& n = positions[i];
        if (n.hEventNotify == nullptr) return DSERR_INVALIDPARAM;
        if (n.dwOffset != DSBPN_OFFSETSTOP && n.dwOffset >= voice_->data->size)
            return DSERR_INVALIDPARAM;
    }
    voice_->notifications.assign(positions, positions + count);
    return DS_OK;
}

} // namespace ludora::audio
