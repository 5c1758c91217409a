// A one-line text entry field: bitmap fonts, a blinking block cursor, keys
// from the key queue.
#pragma once

#include <cstdint>

#include <windows.h>
#include <ddraw.h>

#include "ui/pictures/pointer_list.h"
#include "ui/pictures/sprite.h"
#include "ui/text/bitmap_font.h"

// ProcessKeys results.
constexpr int32_t FieldKeyNone = 0;
constexpr int32_t FieldKeyTab = 15;
constexpr int32_t FieldKeyEnter = 28;

class TextField {
public:
    TextField() = default;
    virtual ~TextField(); // frees the text and the cursor; the fonts unless shared
    TextField(const TextField&) = delete;
    TextField& operator=(const TextField&) = delete;

    virtual void SetCapacity(int32_t bytes);
    virtual void AttachFont(BitmapFont* font);
    virtual void SetCursor(const char* fileName);
    virtual void SetOrigin(int32_t x, int32_t y);
    virtual void SetRect(int32_t x, int32_t y, int32_t width, int32_t height);
    virtual void SetText(const char* text);
    virtual const char* Text() const;
    virtual void SetFocus(int32_t flag);
    virtual int32_t OnClick(int32_t pointerX, int32_t pointerY);
    virtual int32_t ProcessKeys();
    virtual void Draw(IDirectDrawSurface* target);

    // Fields in order.
    int32_t x = 0, y = 0;
    int32_t originX = 0, originY = 0;
    int32_t width = 0, height = 0;
    char* text = nullptr;
    PointerList<BitmapFont> fonts;
    int32_t capacity = 0;
    int32_t length = 0;
    Sprite* cursor = nullptr;
    int32_t blinkOn = 0;
    int32_t focused = 0;
    int32_t selected = 0;
    int32_t fontsShared = 0;
    int32_t selectable = 1;
    int32_t editable = 1;
    int32_t cursorDue = 0; // tick-clock time of the next blink
};

// The character a key event types (scan code, plus KeyShifted), or 0.
char CharacterForKey(int32_t event);
