// Fonts, text colours and TextOutA.
#include "gdi/device_context.h"
#include "gdi/font_engine.h"

#include "pixels/blitter.h"

#include <cstring>

using namespace ludora;
using namespace ludora::gdi;

namespace {

FontFace& face_of(DeviceContext* dc) {
    const Font* font = dc->font ? dc->font : static_cast<Font*>(stock_object(SYSTEM_FONT));
    return face_for(font->logfont);
}

int text_width(FontFace& face, LPCSTR text, int count) {
    int width = 0;
    for (int i = 0; i < count; ++i)
        width += face.glyph(static_cast<unsigned char>(text[i])).advance;
    return width;
}

} // namespace

extern "C" HFONT WINAPI CreateFontIndirectA(CONST LOGFONTA* lf) {
    if (!lf) return nullptr;
    auto* font = new Font();
    font->logfont = *lf;
    font->logfont.lfFaceName[LF_FACESIZE - 1] = 0;
    return static_cast<HFONT>(add_object(font));
}

extern "C" HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation,
                                    int weight, DWORD italic, DWORD underline, DWORD strike_out,
                                    DWORD charset, DWORD out_precision, DWORD clip_precision,
                                    DWORD quality, DWORD pitch_and_family, LPCSTR face) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = static_cast<BYTE>(italic != 0);
    lf.lfUnderline = static_cast<BYTE>(underline != 0);
    lf.lfStrikeOut = static_cast<BYTE>(strike_out != 0);
    lf.lfCharSet = static_cast<BYTE>(charset);
    lf.lfOutPrecision = static_cast<BYTE>(out_precision);
    lf.lfClipPrecision = static_cast<BYTE>(clip_precision);
    lf.lfQuality = static_cast<BYTE>(quality);
    lf.lfPitchAndFamily = static_cast<BYTE>(pitch_and_family);
    if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectA(&lf);
}

extern "C" int WINAPI SetBkMode(HDC handle, int mode) {
    DeviceContext* dc = find_dc(handle);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    const int previous = dc->bk_mode;
    dc->bk_mode = mode;
    return previous;
}

extern "C" int WINAPI GetBkMode(HDC handle) {
    DeviceContext* dc = find_dc(handle);
    return dc ? dc->bk_mode : 0;
}

extern "C" COLORREF WINAPI SetBkColor(HDC handle, COLORREF colour) {
    DeviceContext* dc = find_dc(handle);
    if (!dc) return CLR_INVALID;
    const COLORREF previous = dc->bk_colour;
    dc->bk_colour = colour & 0xFFFFFF;
    return previous;
}

extern "C" COLORREF WINAPI GetBkColor(HDC handle) {
    DeviceContext* dc = find_dc(handle);
    return dc ? dc->bk_colour : CLR_INVALID;
}

extern "C" COLORREF WINAPI SetTextColor(HDC handle, COLORREF colour) {
    DeviceContext* dc = find_dc(handle);
    if (!dc) return CLR_INVALID;
    const COLORREF previous = dc->text_colour;
    dc->text_colour = colour & 0xFFFFFF;
    return previous;
}

extern "C" COLORREF WINAPI GetTextColor(HDC handle) {
    DeviceContext* dc = find_dc(handle);
    return dc ? dc->text_colour : CLR_INVALID;
}

extern "C" UINT WINAPI SetTextAlign(HDC handle, UINT align) {
    DeviceContext* dc = find_dc(handle);
    if (!dc) return GDI_ERROR;
    const UINT previous = dc->text_align;
    dc->text_align = align;
    return previous;
}

extern "C" BOOL WINAPI GetTextMetricsA(HDC handle, LPTEXTMETRICA out) {
    DeviceContext* dc = find_dc(handle);
    if (!dc || !out) return FALSE;
    *out = face_of(dc).metrics();
    return TRUE;
}

extern "C" BOOL WINAPI GetTextExtentPoint32A(HDC handle, LPCSTR text, int count, LPSIZE out) {
    DeviceContext* dc = find_dc(handle);
    if (!dc || !out || count < 0 || (count > 0 && !text)) return FALSE;
    FontFace& face = face_of(dc);
    out->cx = text_width(face, text, count);
    out->cy = face.metrics().tmHeight;
    return TRUE;
}

extern "C" BOOL WINAPI TextOutA(HDC handle, int x, int y, LPCSTR text, int count) {
    DeviceContext* dc = find_dc(handle);
    if (!dc || count < 0 || (count > 0 && !text)) return FALSE;
    pixels::Canvas c;
    if (!dc->target(c)) return TRUE; // the screen's own context shows nothing of its own
    FontFace& face = face_of(dc);
    const TEXTMETRICA& tm = face.metrics();
    const int width = text_width(face, text, count);
    // Alignment moves the cell; (x, y) is its top-left corner by default.
    if ((dc->text_align & TA_CENTER) == TA_CENTER)
        x -= width / 2;
    else if (dc->text_align & TA_RIGHT)
        x -= width;
    if ((dc->text_align & TA_BASELINE) == TA_BASELINE)
        y -= tm.tmAscent;
    else if (dc->text_align & TA_BOTTOM)
        y -= tm.tmHeight;

    if (dc->bk_mode == OPAQUE) {
        pixels::BlitRequest fill;
        fill.dest = &c;
        fill.dest_rect = RECT{x, y, x + width, y + tm.tmHeight};
        fill.clip = pixels::canvas_rect(c);
        fill.fill = pixels::raw_for_xrgb(c, pixels::colorref_to_xrgb(dc->bk_colour));
        if (width > 0) pixels::blit(fill);
        if (width > 0) dc->note_drawn(fill.dest_rect);
    }
    const uint32_t ink = pixels::raw_for_xrgb(c, pixels::colorref_to_xrgb(dc->text_colour));
    int pen = x;
    const int baseline = y + tm.tmAscent;
    for (int i = 0; i < count; ++i) {
        const Glyph& g = face.glyph(static_cast<unsigned char>(text[i]));
        const int left = pen + g.left, top = baseline - g.top;
        dc->note_drawn(RECT{left, top, left + g.width, top + g.rows});
        for (int gy = 0; gy < g.rows; ++gy) {
            const int py = top + gy;
            if (py < 0 || py >= c.height) continue;
            for (int gx = 0; gx < g.width; ++gx) {
                const int px = left + gx;
                if (px < 0 || px >= c.width || !g.mask[static_cast<size_t>(gy) * g.width + gx]) {
                    continue;
                }
                pixels::write_raw(c, px, py, ink);
            }
        }
        pen += g.advance;
    }
    return TRUE;
}
