#include "ddraw/clipper.h"

#include "core/host_services.h"

#include "ddraw/blitter.h"

namespace ludora::video {

HRESULT Clipper::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirectDrawClipper) {
        AddRef();
        *out = static_cast<IDirectDrawClipper*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG Clipper::AddRef() {
    return ++refs_;
}

ULONG Clipper::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT Clipper::GetClipList(LPRECT, LPRGNDATA, LPDWORD) {
    return window_ ? DDERR_UNSUPPORTED : DDERR_NOCLIPLIST;
}

HRESULT Clipper::GetHWnd(HWND FAR* window) {
    if (!window) return DDERR_INVALIDPARAMS;
    *window = window_;
    return DD_OK;
}

HRESULT Clipper::Initialize(LPDIRECTDRAW, DWORD) {
    return DDERR_ALREADYINITIALIZED;
}

HRESULT Clipper::IsClipListChanged(BOOL FAR* changed) {
    if (!changed) return DDERR_INVALIDPARAMS;
    *changed = FALSE;
    return DD_OK;
}

HRESULT Clipper::SetClipList(LPRGNDATA, DWORD) {
    return window_ ? DDERR_CLIPPERISUSINGHWND : DDERR_UNSUPPORTED;
}

HRESULT Clipper::SetHWnd(DWORD, HWND window) {
    window_ = window;
    return DD_OK;
}

RECT Clipper::visible_part(const RECT& bounds) const {
    RECT client;
    if (window_ && host::services().client_on_screen(window_, &client))
        return rect_intersect(bounds, client);
    return bounds;
}

} // namespace ludora::video

extern "C" HRESULT WINAPI DirectDrawCreateClipper(DWORD, LPDIRECTDRAWCLIPPER FAR* out,
                                                  IUnknown FAR* outer) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    *out = new ludora::video::Clipper();
    return DD_OK;
}
