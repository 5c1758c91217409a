#include "gdi/font_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_ADVANCES_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <tuple>

namespace ludora::gdi {

namespace {

const char* const kFontDirs[] = {"/usr/share/fonts/truetype/liberation2/",
                                 "/usr/share/fonts/truetype/liberation/"};

// Windows-1252 0x80..0x9F to Unicode.
const uint16_t kCp1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                              0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                              0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                              0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool equal_ignoring_case(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b))) {
            return false;
        }
    }
    return *a == *b;
}

// The file of the free face that stands in for a Windows face.
std::string face_file(const LOGFONTA& lf) {
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, lf.lfFaceName, LF_FACESIZE);
    std::string family = "Sans";
    const int pitch = lf.lfPitchAndFamily & 3, kind = lf.lfPitchAndFamily & 0xF0;
    if (equal_ignoring_case(face, "Courier New") || equal_ignoring_case(face, "Courier") ||
        equal_ignoring_case(face, "Fixedsys") || equal_ignoring_case(face, "Terminal") ||
        (face[0] == 0 && (pitch == FIXED_PITCH || kind == FF_MODERN))) {
        family = "Mono";
    } else if (equal_ignoring_case(face, "Times New Roman") || equal_ignoring_case(face, "Times") ||
               (face[0] == 0 && kind == FF_ROMAN)) {
        family = "Serif";
    }
    const bool bold = lf.lfWeight >= FW_SEMIBOLD, italic = lf.lfItalic != 0;
    const char* style = bold && italic ? "BoldItalic"
                        : bold         ? "Bold"
                        : italic       ? "Italic"
                                       : "Regular";
    return "Liberation" + family + "-" + style + ".ttf";
}

std::mutex& engine_mutex() {
    static std::mutex m;
    return m;
}

FT_Library library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) l = nullptr;
        return l;
    }();
    return lib;
}

// The average width of lower-case letters and the space, weighted by their
// frequency in English text: the older definition of the OS/2 table's average
// width, which Arial's own table follows and GDI reports as tmAveCharWidth.
double weighted_average_width(FT_Face face, double fallback) {
    static const int weights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                    56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
    double total = 0;
    for (int i = 0; i < 27; ++i) {
        const FT_ULong code = i < 26 ? 'a' + i : ' ';
        FT_Fixed advance = 0;
        if (FT_Get_Advance(face, FT_Get_Char_Index(face, code), FT_LOAD_NO_SCALE, &advance) != 0) {
            return fallback;
        }
        total += static_cast<double>(advance) * weights[i];
    }
    return total / 1000.0;
}

class FreeTypeFace final : public FontFace {
public:
    FreeTypeFace(const std::string& file, const LOGFONTA& lf) {
        FT_Library lib = library();
        for (const char* dir : kFontDirs) {
            if (lib && FT_New_Face(lib, (std::string(dir) + file).c_str(), 0, &face_) == 0) break;
            face_ = nullptr;
        }
        compute_metrics(lf);
    }
    ~FreeTypeFace() override {
        if (face_) FT_Done_Face(face_);
    }

    const TEXTMETRICA& metrics() const override { return metrics_; }

    const Glyph& glyph(unsigned char c) override {
        // One face renders for every thread; a loaded glyph is never changed again.
        std::lock_guard lock(mutex_);
        Glyph& g = glyphs_[c];
        if (loaded_[c]) return g;
        loaded_[c] = true;
        if (!face_) {
            g.advance = metrics_.tmAveCharWidth;
            return g;
        }
        FT_ULong code = c;
        if (c >= 0x80 && c < 0xA0) code = kCp1252[c - 0x80];
        const FT_UInt index = code ? FT_Get_Char_Index(face_, code) : 0;
        if (FT_Load_Glyph(face_, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) return g;
        const FT_GlyphSlot slot = face_->glyph;
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.width = static_cast<int>(slot->bitmap.width);
        g.rows = static_cast<int>(slot->bitmap.rows);
        g.mask.assign(static_cast<size_t>(g.width) * g.rows, 0);
        for (int y = 0; y < g.rows; ++y) {
            const uint8_t* row =
                slot->bitmap.buffer + static_cast<ptrdiff_t>(y) * slot->bitmap.pitch;
            for (int x = 0; x < g.width; ++x) {
                const bool ink = slot->bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                     ? (row[x >> 3] >> (7 - (x & 7))) & 1
                                     : row[x] >= 128;
                g.mask[static_cast<size_t>(y) * g.width + x] = ink ? 1 : 0;
            }
        }
        return g;
    }

private:
    // Windows sizes a font by its cell (positive height: ascent plus descent from
    // the OS/2 table's Windows metrics) or by its em (negative height).
    void compute_metrics(const LOGFONTA& lf) {
        double units = 2048, ascent_units = 1854, descent_units = 434, average_units = 904;
        double max_units = 2500;
        if (face_) {
            units = face_->units_per_EM;
            const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
            ascent_units = os2 ? os2->usWinAscent : face_->ascender;
            descent_units = os2 ? os2->usWinDescent : -face_->descender;
            average_units = weighted_average_width(face_, os2 ? os2->xAvgCharWidth : units / 2);
            max_units = face_->bbox.xMax - face_->bbox.xMin;
        }
        const double cell_units = ascent_units + descent_units;
        double ppem;
        if (lf.lfHeight < 0)
            ppem = -static_cast<double>(lf.lfHeight);
        else if (lf.lfHeight > 0)
            ppem = lf.lfHeight * units / cell_units;
        else
            ppem = 12; // the default size
        int ascent = static_cast<int>(std::lround(ascent_units * ppem / units));
        int descent = static_cast<int>(std::lround(descent_units * ppem / units));
        if (lf.lfHeight > 0) descent = lf.lfHeight - ascent;
        if (face_)
            FT_Set_Char_Size(face_, 0, static_cast<FT_F26Dot6>(std::lround(ppem * 64)), 72, 72);

        TEXTMETRICA& tm = metrics_;
        std::memset(&tm, 0, sizeof(tm));
        tm.tmHeight = ascent + descent;
        tm.tmAscent = ascent;
        tm.tmDescent = descent;
        tm.tmInternalLeading =
            static_cast<LONG>(std::max(0L, static_cast<long>(tm.tmHeight - std::lround(ppem))));
        tm.tmExternalLeading = 0;
        tm.tmAveCharWidth = static_cast<LONG>(std::lround(average_units * ppem / units));
        tm.tmMaxCharWidth = static_cast<LONG>(std::lround(max_units * ppem / units));
        tm.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
        tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
        tm.tmFirstChar = 0x20;
        tm.tmLastChar = 0xFF;
        tm.tmDefaultChar = 0x1F;
        tm.tmBreakChar = 0x20;
        tm.tmItalic = lf.lfItalic;
        tm.tmUnderlined = lf.lfUnderline;
        tm.tmStruckOut = lf.lfStrikeOut;
        // TMPF_FIXED_PITCH set means a variable-pitch font, as in Windows.
        const bool fixed = (lf.lfPitchAndFamily & 3) == FIXED_PITCH;
        tm.tmPitchAndFamily = static_cast<BYTE>((lf.lfPitchAndFamily & 0xF0) | TMPF_VECTOR |
                                                TMPF_TRUETYPE | (fixed ? 0 : TMPF_FIXED_PITCH));
        tm.tmCharSet = lf.lfCharSet;
    }

    std::mutex mutex_;
    FT_Face face_ = nullptr;
    TEXTMETRICA metrics_{};
    Glyph glyphs_[256];
    bool loaded_[256] = {};
};

} // namespace

FontFace& face_for(const LOGFONTA& lf) {
    std::lock_guard lock(engine_mutex());
    using Key = std::tuple<std::string, LONG, LONG, BYTE, BYTE, BYTE>;
    static std::map<Key, std::unique_ptr<FreeTypeFace>> faces;
    const std::string file = face_file(lf);
    const Key key{file, lf.lfHeight, lf.lfWeight, lf.lfItalic, lf.lfCharSet, lf.lfPitchAndFamily};
    auto& slot = faces[key];
    if (!slot) slot = std::make_unique<FreeTypeFace>(file, lf);
    return *slot;
}

} // namespace ludora::gdi
