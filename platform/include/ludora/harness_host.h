// Test-harness extras: standing in for one area of the layer. The areas ask
// one another for a few services through one table (showing a frame, a
// window's place on the screen, losing the surfaces); a test of one area may
// put its own functions in their place, for instance to watch DirectDraw's
// frames without the window area.
#pragma once

#include <windef.h>

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct LudoraHostServices {
    // Shows one frame: width x height pixels as 0x00RRGGBB, `pitch` pixels from
    // one row to the next; the whole display mode when `fullscreen`, else the
    // window's client area.
    void (*present)(HWND window, const uint32_t* xrgb, int width, int height, int pitch,
                    int fullscreen);
    // The window's client area in screen coordinates; 0 when there is no such window.
    int (*client_on_screen)(HWND window, RECT* client);
    // Marks every DirectDraw surface lost (the script's `lose`).
    void (*lose_all_surfaces)(void);
} LudoraHostServices;

// The layer's own services.
void LudoraGetHostServices(LudoraHostServices* services);
// Puts `services` in force; an entry left null keeps the layer's own. Null
// puts the layer's own services back.
void LudoraSetHostServices(const LudoraHostServices* services);

#ifdef __cplusplus
}
#endif
