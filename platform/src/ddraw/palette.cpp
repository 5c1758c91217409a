#include "ddraw/palette.h"

namespace ludora::video {

void palette_changed(Palette* palette);

Palette::Palette(DWORD caps, int size, const PALETTEENTRY* entries) : caps_(caps), size_(size) {
    for (int i = 0; i < size; ++i) {
        entries_[i] = entries[i];
        colours_[i] = (entries[i].peRed << 16) | (entries[i].peGreen << 8) | entries[i].peBlue;
    }
}

HRESULT Palette::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirectDrawPalette) {
        AddRef();
        *out = static_cast<IDirectDrawPalette*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG Palette::AddRef() {
    return ++refs_;
}

ULONG Palette::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT Palette::GetCaps(LPDWORD caps) {
    if (!caps) return DDERR_INVALIDPARAMS;
    *caps = caps_;
    return DD_OK;
}

HRESULT Palette::GetEntries(DWORD, DWORD base, DWORD count, LPPALETTEENTRY entries) {
    if (!entries || base > static_cast<DWORD>(size_) || count > static_cast<DWORD>(size_) - base) {
        return DDERR_INVALIDPARAMS;
    }
    for (DWORD i = 0; i < count; ++i)
        entries[i] = entries_[base + i];
    return DD_OK;
}

HRESULT Palette::Initialize(LPDIRECTDRAW, DWORD, LPPALETTEENTRY) {
    return DDERR_ALREADYINITIALIZED;
}

HRESULT Palette::SetEntries(DWORD, DWORD base, DWORD count, LPPALETTEENTRY entries) {
    if (!entries || base > static_cast<DWORD>(size_) || count > static_cast<DWORD>(size_) - base) {
        return DDERR_INVALIDPARAMS;
    }
    for (DWORD i = 0; i < count; ++i) {
        const PALETTEENTRY& e = entries[i];
        entries_[base + i] = e;
        colours_[base + i] = (e.peRed << 16) | (e.peGreen << 8) | e.peBlue;
    }
    palette_changed(this);
    return DD_OK;
}

} // namespace ludora::video
