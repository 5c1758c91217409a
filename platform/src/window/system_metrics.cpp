// System metrics with the values of a classic-style Windows desktop. The
// screen is the desktop (LUDORA_DESKTOP) until a program sets a display mode,
// then that mode, as Windows reports it.
#include "pixels/screen_mode.h"

#include <windows.h>

extern "C" int WINAPI GetSystemMetrics(int index) {
    // Only the screen's own metrics read the mode: window frames ask for the
    // rest many times a frame.
    const auto desk = [] { return ludora::pixels::screen_mode(); };
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CXVIRTUALSCREEN:
        return desk().width;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
        return desk().height;
    case SM_CYFULLSCREEN:
        return desk().height - 19;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
        return 16;
    case SM_CYCAPTION:
        return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CYMENU:
        return 19;
    case SM_MOUSEPRESENT:
        return 1;
    case SM_SWAPBUTTON:
        return 0;
    case SM_CXMIN:
    case SM_CXMINTRACK:
        return 112;
    case SM_CYMIN:
    case SM_CYMINTRACK:
        return 27;
    case SM_CXSIZE:
    case SM_CYSIZE:
        return 18;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return 4;
    case SM_CMOUSEBUTTONS:
        return 3;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CYSMCAPTION:
        return 15;
    // A window may be dragged a little past the screen on every side.
    case SM_CXMAXTRACK:
        return desk().width + 12;
    case SM_CYMAXTRACK:
        return desk().height + 12;
    case SM_CXMAXIMIZED:
        return desk().width + 8;
    case SM_CYMAXIMIZED:
        return desk().height + 8;
    case SM_CMONITORS:
        return 1;
    default:
        return 0;
    }
}
