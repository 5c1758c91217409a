// The program's running sprites: copies of the turn-bonus pictures, animated
// and drawn together.
#pragma once

#include <cstdint>

#include <windows.h>
#include <ddraw.h>

#include "ui/pictures/pointer_list.h"
#include "ui/pictures/sprite.h"

class SpriteList {
public:
    SpriteList() = default;
    virtual ~SpriteList();
    SpriteList(const SpriteList&) = delete;
    SpriteList& operator=(const SpriteList&) = delete;

    // Starts the sprite at its first frame now and appends a copy that borrows its frames.
    virtual Sprite* AddCopy(Sprite& sprite);
    virtual Sprite* FindByName(const char* spriteName) const;
    virtual void AnimateAndDrawAll(IDirectDrawSurface* target);
    // Destroys the copies (their frames stay with the originals).
    virtual void Clear();

    int32_t Count() const { return sprites ? sprites->Count() : 0; }

private:
    PointerList<Sprite>* sprites = nullptr;
};

extern SpriteList g_SpriteList;
