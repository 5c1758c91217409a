// IDirectDrawClipper: blits to the primary surface are cut to a window's client area.
#pragma once

#include <ddraw.h>

#include <atomic>

namespace ludora::video {

class Clipper final : public IDirectDrawClipper {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetClipList(LPRECT, LPRGNDATA, LPDWORD) override;
    HRESULT STDMETHODCALLTYPE GetHWnd(HWND FAR* window) override;
    HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTDRAW, DWORD) override;
    HRESULT STDMETHODCALLTYPE IsClipListChanged(BOOL FAR* changed) override;
    HRESULT STDMETHODCALLTYPE SetClipList(LPRGNDATA, DWORD) override;
    HRESULT STDMETHODCALLTYPE SetHWnd(DWORD flags, HWND window) override;

    HWND window() const { return window_; }
    // The part of `bounds` (surface coordinates, which are screen coordinates for
    // the primary) that blits may write.
    RECT visible_part(const RECT& bounds) const;

private:
    std::atomic<ULONG> refs_{1};
    HWND window_ = nullptr;
};

} // namespace ludora::video
