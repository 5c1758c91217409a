#include "game/sprite_list.h"

#include <cstring>
#include <new>

#include "shell/core/tick_clock.h"

SpriteList g_SpriteList;

SpriteList::~SpriteList() {
    Clear();
}

Sprite* SpriteList::AddCopy(Sprite& sprite) {
    if (!sprites) {
        sprites = new (std::nothrow) PointerList<Sprite>;
        if (!sprites) {
            return nullptr;
        }
    }
    sprite.lastStep = g_TickClock.Now();
    sprite.frame = sprite.firstFrame == -1 ? 0 : sprite.firstFrame;

    Sprite* copy = new (std::nothrow) Sprite;
    if (!copy) {
        return nullptr;
    }
    for (int32_t i = 0; i < sprite.FrameCountTotal(); ++i) {
        copy->AddBorrowedFrame(sprite.FrameSurface(i));
    }
    std::memcpy(copy->name, sprite.name, sizeof copy->name);
    copy->x = sprite.x;
    copy->y = sprite.y;
    copy->velocityX = sprite.velocityX;
    copy->velocityY = sprite.velocityY;
    copy->frameWidth = sprite.frameWidth;
    copy->frameHeight = sprite.frameHeight;
    copy->endMode = sprite.endMode;
    copy->playing = sprite.playing;
    copy->frame = sprite.frame;
    copy->centred = sprite.centred;
    copy->interval = sprite.interval;
    copy->step = sprite.step;
    copy->lastStep = sprite.lastStep;
    copy->firstFrame = sprite.firstFrame;
    copy->frameCount = sprite.frameCount;
    copy->eraseBeforeDraw = sprite.eraseBeforeDraw;
    copy->markAfterDraw = sprite.markAfterDraw;
    copy->wrap = sprite.wrap;
    copy->animated = sprite.animated;
    copy->visible = sprite.visible;
    if (!sprites->Add(copy)) {
        delete copy;
        return nullptr;
    }
    return copy;
}

Sprite* SpriteList::FindByName(const char* spriteName) const {
    if (!sprites || !spriteName) {
        return nullptr;
    }
    for (Sprite* sprite : *sprites) {
        if (std::strcmp(sprite->name, spriteName) == 0) {
            return sprite;
        }
    }
    return nullptr;
}

void SpriteList::AnimateAndDrawAll(IDirectDrawSurface* target) {
    if (!sprites) {
        return;
    }
    for (Sprite* sprite : *sprites) {
        sprite->Animate();
        if (sprite->frame >= sprite->firstFrame && sprite->frame < sprite->frameCount) {
            sprite->Draw(target);
        }
    }
}

void SpriteList::Clear() {
    if (!sprites) {
        return;
    }
    for (Sprite* sprite : *sprites) {
        delete sprite;
    }
    delete sprites;
    sprites = nullptr;
}
