#include "ui/text/number_sprite.h"

#include <cstdio>
#include <cstring>

namespace {

// Draws text's digits with the sprite from pen on, step pixels a character.
void DrawDigits(Sprite& digits, const char* text, int32_t pen, int32_t step, int32_t y,
                IDirectDrawSurface* target) {
    for (const char* c = text; *c; ++c, pen += step) {
        if (*c >= '0' && *c <= '9') {
            digits.SetFrameUnchecked(*c - '0');
            digits.SetPosition(pen, y);
            digits.Draw(target);
        }
    }
}

} // namespace

void DrawPageNumber(Sprite& digits, int32_t number, int32_t rightX, int32_t y,
                    IDirectDrawSurface* target) {
    char text[32];
    std::snprintf(text, sizeof text, "%d", number);
    // The strip holds all ten digits side by side.
    const int32_t step = digits.frameWidth / 10;
    const int32_t characters = static_cast<int32_t>(std::strlen(text));
    DrawDigits(digits, text, rightX - step * characters, step, y, target);
}

void NumberSprite::DrawNumber(int32_t value, int32_t x, int32_t y, IDirectDrawSurface* target) {
    char text[256];
    if (digits != -1) {
        char format[32];
        std::snprintf(format, sizeof format, "%%0%dd", digits);
        std::snprintf(text, sizeof text, format, value);
    } else {
        std::snprintf(text, sizeof text, "%d", value);
    }
    const int32_t step = frameWidth + spacing;
    const int32_t characters = static_cast<int32_t>(std::strlen(text));
    int32_t pen = x;
    if (align == NumberLastAtX) {
        pen = x - (characters - 1) * step;
    } else if (align == NumberCentred) {
        pen = x - (characters * step) / 2;
    }
    DrawDigits(*this, text, pen, step, y, target);
}
