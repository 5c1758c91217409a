// IDirectDrawPalette: up to 256 colours shared by the surfaces it is set on.
#pragma once

#include <ddraw.h>

#include <array>
#include <atomic>
#include <cstdint>

namespace ludora::video {

class Palette final : public IDirectDrawPalette {
public:
    Palette(DWORD caps, int size, const PALETTEENTRY* entries);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetCaps(LPDWORD caps) override;
    HRESULT STDMETHODCALLTYPE GetEntries(DWORD flags, DWORD base, DWORD count,
                                         LPPALETTEENTRY entries) override;
    HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTDRAW, DWORD, LPPALETTEENTRY) override;
    HRESULT STDMETHODCALLTYPE SetEntries(DWORD flags, DWORD base, DWORD count,
                                         LPPALETTEENTRY entries) override;

    // Entries as 0x00RRGGBB, for canvases.
    const uint32_t* colours() const { return colours_.data(); }
    int size() const { return size_; }

private:
    std::atomic<ULONG> refs_{1};
    DWORD caps_;
    int size_;
    std::array<PALETTEENTRY, 256> entries_{};
    std::array<uint32_t, 256> colours_{};
};

} // namespace ludora::video
