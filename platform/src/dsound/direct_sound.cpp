#include "dsound/direct_sound.h"

#include "core/settings.h"
#include "dsound/mixer.h"
#include "dsound/primary_buffer.h"
#include "dsound/sound_buffer.h"

#include <cstring>
#include <new>

namespace ludora::audio {
namespace {

// The smallest buffer description: the one of 32-bit Windows.
constexpr DWORD kSmallestDescSize = 20;

bool valid_buffer_format(const WAVEFORMATEX& format) {
    return format.wFormatTag == WAVE_FORMAT_PCM &&
           (format.nChannels == 1 || format.nChannels == 2) &&
           (format.wBitsPerSample == 8 || format.wBitsPerSample == 16) &&
           format.nSamplesPerSec >= DSBFREQUENCY_MIN && format.nSamplesPerSec <= DSBFREQUENCY_MAX &&
           format.nBlockAlign == format.nChannels * format.wBitsPerSample / 8;
}

} // namespace

DirectSound::DirectSound() = default;

DirectSound::~DirectSound() {
    // Buffers outlive their DirectSound object only as silent, safe shells.
    std::vector<std::weak_ptr<BufferVoice>> voices;
    {
        std::lock_guard lock(device_->mutex);
        voices.swap(device_->voices);
    }
    // A playing buffer stops here: whoever waits for its stop event hears of it.
    Signals signals;
    {
        std::lock_guard lock(Mixer::instance().mutex());
        for (auto& weak : voices) {
            if (auto voice = weak.lock()) {
                voice->stop(signals);
                voice->lost = true;
            }
        }
    }
    deliver(signals);
    Mixer::instance().release();
}

HRESULT DirectSound::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (riid != IID_IUnknown && riid != IID_IDirectSound) return E_NOINTERFACE;
    *object = static_cast<IDirectSound*>(this);
    AddRef();
    return S_OK;
}

ULONG DirectSound::AddRef() {
    return ++references_;
}

ULONG DirectSound::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT DirectSound::CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer,
                                       LPUNKNOWN outer) {
    if (buffer == nullptr) return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (outer != nullptr) return DSERR_NOAGGREGATION;
    if (desc == nullptr || desc->dwSize < kSmallestDescSize) return DSERR_INVALIDPARAM;
    if ((desc->dwFlags & DSBCAPS_LOCHARDWARE) && (desc->dwFlags & DSBCAPS_LOCSOFTWARE))
        return DSERR_INVALIDPARAM;
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
        if (desc->dwBufferBytes != 0 || desc->lpwfxFormat != nullptr) return DSERR_INVALIDPARAM;
        return create_primary(buffer);
    }
    return create_secondary(desc, buffer);
}

HRESULT DirectSound::create_primary(LPDIRECTSOUNDBUFFER* buffer) {
    std::lock_guard lock(device_->mutex);
    if (device_->primary != nullptr) {
        device_->primary->AddRef();
    } else {
        device_->primary = new (std::nothrow) PrimaryBuffer(device_);
        if (device_->primary == nullptr) return DSERR_OUTOFMEMORY;
    }
    *buffer = device_->primary;
    return DS_OK;
}

HRESULT DirectSound::create_secondary(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer) {
    if (desc->lpwfxFormat == nullptr) return DSERR_INVALIDPARAM;
    WAVEFORMATEX format;
    std::memcpy(&format, desc->lpwfxFormat, sizeof(PCMWAVEFORMAT));
    format.cbSize = 0;
    if (!valid_buffer_format(format)) return DSERR_BADFORMAT;
    if (desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX)
        return DSERR_INVALIDPARAM;
    if (desc->dwBufferBytes < format.nBlockAlign) return DSERR_INVALIDPARAM;
    auto bytes = std::shared_ptr<SampleBytes>(new (std::nothrow) SampleBytes(desc->dwBufferBytes));
    if (!bytes || !bytes->bytes) return DSERR_OUTOFMEMORY;
    std::memset(bytes->bytes.get(), format.wBitsPerSample == 8 ? 0x80 : 0, bytes->size);
    auto voice = std::make_shared<BufferVoice>(std::move(bytes), format, desc->dwFlags);
    {
        std::lock_guard lock(device_->mutex);
        std::erase_if(device_->voices,
                      [](const std::weak_ptr<BufferVoice>& v) { return v.expired(); });
        device_->voices.push_back(voice);
    }
    *buffer = new SoundBuffer(device_, std::move(voice));
    return DS_OK;
}

HRESULT DirectSound::GetCaps(LPDSCAPS caps) {
    if (caps == nullptr || caps->dwSize != sizeof(DSCAPS)) return DSERR_INVALIDPARAM;
    std::memset(caps, 0, sizeof(DSCAPS));
    caps->dwSize = sizeof(DSCAPS);
    caps->dwFlags = DSCAPS_PRIMARYMONO | DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY8BIT |
                    DSCAPS_PRIMARY16BIT | DSCAPS_CONTINUOUSRATE | DSCAPS_SECONDARYMONO |
                    DSCAPS_SECONDARYSTEREO | DSCAPS_SECONDARY8BIT | DSCAPS_SECONDARY16BIT;
    caps->dwMinSecondarySampleRate = DSBFREQUENCY_MIN;
    caps->dwMaxSecondarySampleRate = DSBFREQUENCY_MAX;
    caps->dwPrimaryBuffers = 1;
    caps->dwPlayCpuOverheadSwBuffers = 1;
    return DS_OK;
}

HRESULT DirectSound::DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original,
                                          LPDIRECTSOUNDBUFFER* duplicate) {
    if (duplicate == nullptr) return DSERR_INVALIDPARAM;
    *duplicate = nullptr;
    if (original == nullptr) return DSERR_INVALIDPARAM;
    auto* source = dynamic_cast<SoundBuffer*>(original);
    if (source == nullptr) return DSERR_INVALIDCALL; // the primary buffer, or not ours
    std::shared_ptr<BufferVoice> voice;
    {
        std::lock_guard lock(Mixer::instance().mutex());
        voice = std::make_shared<BufferVoice>(*source->voice());
    }
    {
        std::lock_guard lock(device_->mutex);
        device_->voices.push_back(voice);
    }
    *duplicate = new SoundBuffer(device_, std::move(voice));
    return DS_OK;
}

HRESULT DirectSound::SetCooperativeLevel(HWND, DWORD level) {
    if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
    device_->level = level;
    return DS_OK;
}

HRESULT DirectSound::Compact() {
    if (device_->level.load() < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
    return DS_OK;
}

HRESULT DirectSound::GetSpeakerConfig(LPDWORD config) {
    if (config == nullptr) return DSERR_INVALIDPARAM;
    *config = DSSPEAKER_STEREO;
    return DS_OK;
}

HRESULT DirectSound::SetSpeakerConfig(DWORD) {
    return DS_OK;
}

HRESULT DirectSound::Initialize(LPCGUID) {
    return DSERR_ALREADYINITIALIZED;
}

} // namespace ludora::audio

using ludora::audio::DirectSound;
using ludora::audio::Mixer;

extern "C" HRESULT WINAPI DirectSoundCreate(LPGUID lpGuid, LPDIRECTSOUND* ppDS,
                                            LPUNKNOWN pUnkOuter) {
    if (ppDS == nullptr) return DSERR_INVALIDPARAM;
    *ppDS = nullptr;
    if (pUnkOuter != nullptr) return DSERR_NOAGGREGATION;
    // The one device is the default one, enumerated without a GUID.
    if (lpGuid != nullptr && !(*lpGuid == GUID(GUID_NULL_VALUE))) return DSERR_NODRIVER;
    if (ludora::settings::audio_disabled()) return DSERR_NODRIVER;
    if (!Mixer::instance().acquire()) return DSERR_NODRIVER;
    *ppDS = new DirectSound();
    return DS_OK;
}

extern "C" HRESULT WINAPI DirectSoundEnumerateA(LPDSENUMCALLBACKA lpDSEnumCallback,
                                                LPVOID lpContext) {
    if (lpDSEnumCallback == nullptr) return DSERR_INVALIDPARAM;
    if (ludora::settings::audio_disabled()) return DS_OK;
    lpDSEnumCallback(nullptr, "Primary Sound Driver", "", lpContext);
    return DS_OK;
}
