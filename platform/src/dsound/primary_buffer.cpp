#include "dsound/primary_buffer.h"

#include "dsound/mixer.h"
#include "dsound/output_format.h"

#include <algorithm>
#include <cstring>

namespace ludora::audio {
namespace {

Mixer& mixer() {
    return Mixer::instance();
}

} // namespace

PrimaryBuffer::PrimaryBuffer(std::shared_ptr<DeviceState> device) : device_(std::move(device)) {}

PrimaryBuffer::~PrimaryBuffer() {
    std::lock_guard lock(device_->mutex);
    if (device_->primary == this) device_->primary = nullptr;
}

HRESULT PrimaryBuffer::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (riid != IID_IUnknown && riid != IID_IDirectSoundBuffer) return E_NOINTERFACE;
    *object = static_cast<IDirectSoundBuffer*>(this);
    AddRef();
    return S_OK;
}

ULONG PrimaryBuffer::AddRef() {
    return ++references_;
}

ULONG PrimaryBuffer::Release() {
    // The DirectSound object hands this same buffer out again while it lives,
    // so the last release and a new hand-out meet under the device's lock.
    std::unique_lock lock(device_->mutex);
    const ULONG left = --references_;
    if (left != 0) return left;
    device_->primary = nullptr;
    lock.unlock();
    delete this;
    return 0;
}

DWORD PrimaryBuffer::buffer_bytes() const {
    const OutputFormat format = mixer().format();
    return std::max<DWORD>(DSBSIZE_MIN, format.rate / 10 * format.block_align());
}

HRESULT PrimaryBuffer::GetCaps(LPDSBCAPS caps) {
    if (caps == nullptr || caps->dwSize != sizeof(DSBCAPS)) return DSERR_INVALIDPARAM;
    caps->dwFlags =
        DSBCAPS_PRIMARYBUFFER | DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN;
    caps->dwBufferBytes = buffer_bytes();
    caps->dwUnlockTransferRate = 0;
    caps->dwPlayCpuOverhead = 0;
    return DS_OK;
}

HRESULT PrimaryBuffer::GetCurrentPosition(LPDWORD play, LPDWORD write) {
    mixer().catch_up();
    const OutputFormat format = mixer().format();
    const DWORD size = buffer_bytes();
    const DWORD cursor = static_cast<DWORD>((mixer().frames_mixed() * format.block_align()) % size);
    if (play != nullptr) *play = cursor;
    if (write != nullptr) *write = cursor;
    return DS_OK;
}

HRESULT PrimaryBuffer::GetFormat(LPWAVEFORMATEX format, DWORD size, LPDWORD written) {
    if (format == nullptr) {
        if (written == nullptr) return DSERR_INVALIDPARAM;
        *written = sizeof(WAVEFORMATEX);
        return DS_OK;
    }
    if (size < sizeof(PCMWAVEFORMAT)) return DSERR_INVALIDPARAM;
    const OutputFormat out = mixer().format();
    WAVEFORMATEX wave{};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = out.channels;
    wave.nSamplesPerSec = out.rate;
    wave.nBlockAlign = static_cast<WORD>(out.block_align());
    wave.nAvgBytesPerSec = out.rate * out.block_align();
    wave.wBitsPerSample = out.bits;
    wave.cbSize = 0;
    const DWORD bytes = std::min<DWORD>(size, sizeof(WAVEFORMATEX));
    std::memcpy(format, &wave, bytes);
    if (written != nullptr) *written = bytes;
    return DS_OK;
}

HRESULT PrimaryBuffer::GetVolume(LPLONG volume) {
    if (volume == nullptr) return DSERR_INVALIDPARAM;
    std::lock_guard lock(mixer().mutex());
    *volume = volume_;
    return DS_OK;
}

HRESULT PrimaryBuffer::GetPan(LPLONG pan) {
    if (pan == nullptr) return DSERR_INVALIDPARAM;
    std::lock_guard lock(mixer().mutex());
    *pan = pan_;
    return DS_OK;
}

HRESULT PrimaryBuffer::GetFrequency(LPDWORD) {
    return DSERR_CONTROLUNAVAIL;
}

HRESULT PrimaryBuffer::GetStatus(LPDWORD status) {
    if (status == nullptr) return DSERR_INVALIDPARAM;
    std::lock_guard lock(mixer().mutex());
    *status = playing_ ? DSBSTATUS_PLAYING | DSBSTATUS_LOOPING : 0;
    return DS_OK;
}

HRESULT PrimaryBuffer::Initialize(LPDIRECTSOUND, LPCDSBUFFERDESC) {
    return DSERR_ALREADYINITIALIZED;
}

HRESULT PrimaryBuffer::Lock(DWORD, DWORD, LPVOID*, LPDWORD, LPVOID*, LPDWORD, DWORD) {
    // Writing the primary buffer directly is not offered: the mixer owns it.
    if (device_->level.load() != DSSCL_WRITEPRIMARY) return DSERR_PRIOLEVELNEEDED;
    return DSERR_UNSUPPORTED;
}

HRESULT PrimaryBuffer::Play(DWORD, DWORD, DWORD flags) {
    if (!(flags & DSBPLAY_LOOPING)) return DSERR_INVALIDPARAM;
    std::lock_guard lock(mixer().mutex());
    playing_ = true;
    return DS_OK;
}

HRESULT PrimaryBuffer::SetCurrentPosition(DWORD) {
    return DSERR_INVALIDCALL;
}

HRESULT PrimaryBuffer::SetFormat(LPCWAVEFORMATEX format) {
    if (format == nullptr) return DSERR_INVALIDPARAM;
    if (device_->level.load() < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
    if (format->wFormatTag != WAVE_FORMAT_PCM ||
        !sensible_output(format->nSamplesPerSec, format->nChannels, format->wBitsPerSample) ||
        format->nBlockAlign != format->nChannels * format->wBitsPerSample / 8) {
        return DSERR_BADFORMAT;
    }
    mixer().set_format(
        OutputFormat{format->nSamplesPerSec, format->nChannels, format->wBitsPerSample});
    return DS_OK;
}

HRESULT PrimaryBuffer::SetVolume(LONG volume) {
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    std::lock_guard lock(mixer().mutex());
    volume_ = volume;
    mixer().set_master_locked(volume_, pan_);
    return DS_OK;
}

HRESULT PrimaryBuffer::SetPan(LONG pan) {
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    std::lock_guard lock(mixer().mutex());
    pan_ = pan;
    mixer().set_master_locked(volume_, pan_);
    return DS_OK;
}

HRESULT PrimaryBuffer::SetFrequency(DWORD) {
    return DSERR_CONTROLUNAVAIL;
}

HRESULT PrimaryBuffer::Stop() {
    // The mixer keeps running for the secondary buffers, as on Windows.
    std::lock_guard lock(mixer().mutex());
    playing_ = false;
    return DS_OK;
}

HRESULT PrimaryBuffer::Unlock(LPVOID, DWORD, LPVOID, DWORD) {
    return DSERR_INVALIDCALL;
}

HRESULT PrimaryBuffer::Restore() {
    return DS_OK;
}

} // namespace ludora::audio
