// zq's own BMP reader (the packed-DIB loader of ZQLoadBitmap) on a windowed
// display, with every loaded surface read back whole.
#include "fuzz_support.h"

#include <windows.h>
#include <ddraw.h>

#include "zq.h"

namespace {

IDirectDraw* Display() {
    static IDirectDraw* directDraw = [] {
        fuzz::ScratchFolder();
        ZQDebugEnable(0);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "zq fuzz";
        RegisterClassA(&windowClass);
        HWND window = CreateWindowExA(0, "zq fuzz", "zq fuzz", WS_POPUP | WS_VISIBLE, 0, 0, 320,
                                      240, nullptr, nullptr, nullptr, nullptr);
        if (window == nullptr || ZQInitDirectX(window, 320, 240) != 1) return (IDirectDraw*)nullptr;
        return ZQGetLPDD();
    }();
    return directDraw;
}

// Touches every byte of the surface, so a wrong pitch or size shows.
unsigned ReadBack(IDirectDrawSurface* surface) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return 0;
    unsigned sum = 0;
    const BYTE* rows = static_cast<const BYTE*>(desc.lpSurface);
    const DWORD rowBytes = desc.dwWidth * (desc.ddpfPixelFormat.dwRGBBitCount / 8);
    for (DWORD y = 0; y < desc.dwHeight; ++y)
        for (DWORD x = 0; x < rowBytes; ++x)
            sum += rows[static_cast<size_t>(y) * desc.lPitch + x];
    surface->Unlock(nullptr);
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IDirectDraw* directDraw = Display();
    if (directDraw == nullptr) __builtin_trap();
    const std::string name = fuzz::WriteInput("input.bmp", data, size);
    if (IDirectDrawSurface* surface = ZQLoadBitmap(directDraw, name.c_str(), 1)) {
        fuzz::g_sink = ReadBack(surface);
        surface->Release();
    }
    return 0;
}
