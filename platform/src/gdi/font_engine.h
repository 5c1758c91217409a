// Fonts rendered with FreeType from the free faces metric-compatible with the
// Windows ones (Arial is Liberation Sans). Glyphs are rendered without
// anti-aliasing, as Windows draws DRAFT_QUALITY text: every pixel is either the
// text colour or untouched, so text on a picture keyed on blue never leaves
// blue-tinted edge pixels behind.
#pragma once

#include <wingdi.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace ludora::gdi {

struct Glyph {
    int left = 0; // from the pen position to the first column
    int top = 0;  // from the baseline up to the first row
    int width = 0;
    int rows = 0;
    int advance = 0;
    std::vector<uint8_t> mask; // width x rows, 1 where the glyph is inked
};

class FontFace {
public:
    virtual ~FontFace() = default;
    virtual const TEXTMETRICA& metrics() const = 0;
    // The glyph of an ANSI (Windows-1252) character.
    virtual const Glyph& glyph(unsigned char c) = 0;
};

// The face for a logical font; never null (without font files, a face with
// metrics and empty glyphs). Faces are cached and live for the process.
FontFace& face_for(const LOGFONTA& logfont);

} // namespace ludora::gdi
