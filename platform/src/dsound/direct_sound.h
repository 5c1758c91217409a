// The DirectSound object: makes buffers and holds the device open while it lives.
#pragma once

#include "dsound.h"
#include "dsound/device_state.h"

#include <atomic>
#include <memory>

namespace ludora::audio {

class DirectSound final : public IDirectSound {
public:
    DirectSound();
    ~DirectSound() override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer,
                                                LPUNKNOWN outer) override;
    HRESULT STDMETHODCALLTYPE GetCaps(LPDSCAPS caps) override;
    HRESULT STDMETHODCALLTYPE DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original,
                                                   LPDIRECTSOUNDBUFFER* duplicate) override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD level) override;
    HRESULT STDMETHODCALLTYPE Compact() override;
    HRESULT STDMETHODCALLTYPE GetSpeakerConfig(LPDWORD config) override;
    HRESULT STDMETHODCALLTYPE SetSpeakerConfig(DWORD config) override;
    HRESULT STDMETHODCALLTYPE Initialize(LPCGUID guid) override;

private:
    HRESULT create_primary(LPDIRECTSOUNDBUFFER* buffer);
    HRESULT create_secondary(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer);

    std::shared_ptr<DeviceState> device_ = std::make_shared<DeviceState>();
    std::atomic<ULONG> references_{1};
};

} // namespace ludora::audio
