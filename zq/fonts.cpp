// The seven Arial fonts and the two text functions.
#include "display_state.h"
#include "zq.h"

#include <string.h>

namespace {

const int kFontHeights[7] = {8, 10, 12, 14, 16, 24, 36};

} // namespace

HFONT g_hFonts[7];
_fontTypes_e g_nCurrentFont = ZQ_FONT_14;
HWND g_hFontWnd = nullptr;

void ZQInitFont(HWND window) {
    ZQFreeFont(); // a second start-up replaces the fonts instead of leaking them
    g_hFontWnd = window;
    for (int type = 0; type < 7; ++type)
        g_hFonts[type] = CreateFontA(kFontHeights[type], 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                     ANSI_CHARSET, OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS,
                                     DRAFT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
    ZQSetFont(ZQ_FONT_14);
}

_fontTypes_e ZQSetFont(_fontTypes_e type) {
    if (type < 0 || type > 6) return g_nCurrentFont;
    const _fontTypes_e previous = g_nCurrentFont;
    HDC dc = GetDC(g_hFontWnd);
    if (g_hFonts[type] != nullptr) g_nCurrentFont = type;
    if (dc == nullptr) return previous;
    if (g_hFonts[type] != nullptr) SelectObject(dc, g_hFonts[type]);
    TEXTMETRICA metrics;
    if (GetTextMetricsA(dc, &metrics)) {
        g_FontHeight = static_cast<unsigned long>(metrics.tmHeight);
        g_CharWidth = static_cast<unsigned long>(metrics.tmAveCharWidth);
    }
    ReleaseDC(g_hFontWnd, dc);
    return previous;
}

_fontTypes_e ZQGetFont() {
    return g_nCurrentFont;
}
unsigned long ZQGetFontHeight() {
    return g_FontHeight;
}
unsigned long ZQGetCharWidth() {
    return g_CharWidth;
}

int ZQDrawText(IDirectDrawSurface* surface, const char* text, int x, int y, unsigned long colour,
               _fontTypes_e type) {
    if (type == ZQ_FONT_CURRENT) type = g_nCurrentFont;
    // A type outside the seven would index past the font table.
    if (type < 0 || type > 6 || surface == nullptr || text == nullptr) return 0;
    HDC dc = nullptr;
    if (FAILED(surface->GetDC(&dc)) || dc == nullptr) return 0;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, static_cast<COLORREF>(colour));
    HGDIOBJ previous = nullptr;
    if (g_hFonts[type] != nullptr) previous = SelectObject(dc, g_hFonts[type]);
    TextOutA(dc, x, y, text, static_cast<int>(strlen(text)));
    if (previous != nullptr) SelectObject(dc, previous);
    surface->ReleaseDC(dc);
    return 1;
}

int ZQPrintString(const char* text, int x, int y) {
    if (g_lpBackBuffer == nullptr || text == nullptr) return 0;
    HDC dc = nullptr;
    if (FAILED(g_lpBackBuffer->GetDC(&dc)) || dc == nullptr) return 0;
    // Opaque, in the context's own background colour and default font.
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, 0x008080FF);
    TextOutA(dc, x, y, text, static_cast<int>(strlen(text)));
    g_lpBackBuffer->ReleaseDC(dc);
    return 1;
}

void ZQFreeFont() {
    // The handles are cleared too, so a second call or a later ZQSetFont never
    // touches a deleted font.
    for (HFONT& font : g_hFonts) {
        if (font != nullptr) DeleteObject(font);
        font = nullptr;
    }
}
