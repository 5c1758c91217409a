#include "ui/text/text_field.h"

#include <cstring>
#include <new>

#include "shell/core/tick_clock.h"
#include "ui/keys/key_queue.h"

namespace {

constexpr int32_t ScanBackspace = 14;
constexpr int32_t CursorBlinkMs = 500;

struct KeyCharacters {
    int32_t code;
    char plain;
    char shifted;
};

// The keys a field types, by DirectInput scan code. Minus (12) is not among
// them, so "-" and "_" cannot be typed; kept as designed.
constexpr KeyCharacters CharacterTable[] = {
    {2, '1', '!'},   {3, '2', '@'},  {4, '3', '#'},  {5, '4', '$'},   {6, '5', '%'},
    {7, '6', '^'},   {8, '7', '&'},  {9, '8', '*'},  {10, '9', '('},  {11, '0', ')'},
    {13, '=', '+'},  {16, 'q', 'Q'}, {17, 'w', 'W'}, {18, 'e', 'E'},  {19, 'r', 'R'},
    {20, 't', 'T'},  {21, 'y', 'Y'}, {22, 'u', 'U'}, {23, 'i', 'I'},  {24, 'o', 'O'},
    {25, 'p', 'P'},  {26, '[', '{'}, {27, ']', '}'}, {30, 'a', 'A'},  {31, 's', 'S'},
    {32, 'd', 'D'},  {33, 'f', 'F'}, {34, 'g', 'G'}, {35, 'h', 'H'},  {36, 'j', 'J'},
    {37, 'k', 'K'},  {38, 'l', 'L'}, {39, ';', ':'}, {40, '\'', '"'}, {41, '`', '~'},
    {43, '\\', '|'}, {44, 'z', 'Z'}, {45, 'x', 'X'}, {46, 'c', 'C'},  {47, 'v', 'V'},
    {48, 'b', 'B'},  {49, 'n', 'N'}, {50, 'm', 'M'}, {51, ',', '<'},  {52, '.', '>'},
    {53, '/', '?'},  {57, ' ', ' '},
};

} // namespace

char CharacterForKey(int32_t event) {
    const int32_t code = event & 0xFF;
    const bool shifted = (event & KeyShifted) != 0;
    for (const KeyCharacters& key : CharacterTable) {
        if (key.code == code) {
            return shifted ? key.shifted : key.plain;
        }
    }
    return 0;
}

TextField::~TextField() {
    delete[] text;
    delete cursor;
    if (!fontsShared) {
        for (BitmapFont* font : fonts) {
            delete font;
        }
    }
}

void TextField::SetCapacity(int32_t bytes) {
    delete[] text;
    text = nullptr;
    capacity = 0;
    if (bytes > 0) {
        text = new (std::nothrow) char[bytes]();
        if (text) {
            capacity = bytes;
        }
    }
    length = 0;
    blinkOn = 1;
}

void TextField::AttachFont(BitmapFont* font) {
    if (!font) {
        return;
    }
    fonts.Add(font);
    height = font->height;
    fontsShared = 1;
}

void TextField::SetCursor(const char* fileName) {
    delete cursor;
    cursor = new (std::nothrow) Sprite();
    if (!cursor) {
        return;
    }
    cursor->AddFrameFromFile(fileName);
    cursor->SetPosition(static_cast<int>(cursor->x), originY + y);
}

void TextField::SetOrigin(int32_t originLeft, int32_t originTop) {
    originX = originLeft;
    originY = originTop;
}

void TextField::SetRect(int32_t left, int32_t top, int32_t fieldWidth, int32_t fieldHeight) {
    x = left;
    y = top;
    width = fieldWidth;
    height = fieldHeight;
}

void TextField::SetText(const char* newText) {
    if (!newText || !text) {
        return;
    }
    const size_t newLength = strnlen(newText, static_cast<size_t>(capacity));
    if (newLength >= static_cast<size_t>(capacity)) {
        return; // does not fit: the field keeps what it had
    }
    std::memcpy(text, newText, newLength + 1);
    length = static_cast<int32_t>(newLength);
}

const char* TextField::Text() const {
    return text ? text : "";
}

void TextField::SetFocus(int32_t flag) {
    if (!focused) {
        // Keys typed while the field was not listening are not its keys.
        g_KeyQueue.Clear();
    }
    focused = flag;
}

int32_t TextField::OnClick(int32_t pointerX, int32_t pointerY) {
    const int32_t relativeX = pointerX - originX;
    const int32_t relativeY = pointerY - originY;
    const bool inside =
        relativeX >= x && relativeX <= x + width && relativeY >= y && relativeY <= y + height;
    if (!selectable) {
        SetFocus(inside ? 1 : 0);
        return inside ? 1 : 0;
    }
    if (!inside) {
        SetFocus(0);
        selected = 0;
        return 0;
    }
    if (!selected) {
        selected = 1;
        SetFocus(0);
        return 0;
    }
    if (focused) {
        focused = 0;
        return 0;
    }
    SetFocus(1);
    return 1;
}

int32_t TextField::ProcessKeys() {
    if (!focused || !editable) {
        return FieldKeyNone;
    }
    const BitmapFont* font = fonts.At(0);
    for (;;) {
        const int32_t event = g_KeyQueue.Pop();
        if (event == 0) {
            return FieldKeyNone;
        }
        const char character = CharacterForKey(event);
        const int32_t code = event & 0xFF;
        if (character != 0) {
            const int32_t needed = font ? font->CharWidth(static_cast<unsigned char>(character)) +
                                              font->TextWidth(Text())
                                        : 0;
            if (text && length < capacity - 2 && needed < width) {
                text[length++] = character;
                text[length] = 0;
            }
        } else if (code == ScanBackspace) {
            if (length > 0) {
                text[--length] = 0;
            }
        } else if (code == FieldKeyEnter) {
            focused = 0;
            return FieldKeyEnter;
        } else if (code == FieldKeyTab) {
            return FieldKeyTab;
        }
    }
}

void TextField::Draw(IDirectDrawSurface* target) {
    BitmapFont* font = selected && fonts.Count() >= 2 ? fonts.At(1) : fonts.At(0);
    const int32_t left = originX + x;
    const int32_t top = originY + y;
    if (font) {
        font->DrawText(target, Text(), left, top, AlignLeft, left + width);
    }
    if (!cursor) {
        return;
    }
    if (g_TickClock.Since(cursorDue) >= 0) {
        cursorDue = g_TickClock.Now() + CursorBlinkMs;
        blinkOn = !blinkOn;
    }
    if (editable && focused && blinkOn) {
        cursor->SetPosition(left + (font ? font->TextWidth(Text()) : 0), top);
        cursor->Draw(target);
    }
}
