// A modal picture screen: one of its backgrounds, its buttons, and a loop that
// ends with the name of the button that fired ("key" for the hot key, empty
// at the deadline).
#pragma once

#include <cstdint>

#include "ui/buttons/pointer.h"
#include "ui/pictures/scene.h"

class MenuScreen : public Scene {
public:
    MenuScreen();
    ~MenuScreen() override;

    void Create() override;
    void Destroy() override;

    virtual void PlaceBackground(int32_t x, int32_t y);
    virtual void Fire(const char* buttonName);
    // The modal loop: answers non-zero with the result copied into result
    // (256 bytes), or 0 when the program is told to quit.
    virtual int Run(char* result, const char* backgroundName);
    virtual int Poll(int32_t pointerX, int32_t pointerY, int32_t pointerButtons);
    virtual int CheckInputs();
    virtual void UseBackground(ImageRecord* record);
    virtual void SelectBackground(const char* backgroundName);
    virtual ImageRecord* CurrentBackground() const;
    virtual ImageRecord* FindBackground(const char* backgroundName) const;
    virtual ImageRecord* AddBackground(const char* fileName, const char* backgroundName);
    virtual void SetTakesRedraw(int32_t flag);
    virtual Button* AddFullScreenButton();
    virtual void SetDeadline(int32_t clockTime);
    virtual void SetHotKey(int32_t virtualKey);
    virtual void SetPollChild(int32_t flag);

    // Fields in declaration order.
    PointerList<ImageRecord>* backgrounds = nullptr;
    ImageRecord* background = nullptr;
    int32_t done = 0;
    int32_t backgroundX = -1, backgroundY = -1;
    int32_t originX = 0, originY = 0;
    int32_t takesRedraw = 1;
    int32_t deadline = 0;
    int32_t hotKey = 0;
    int32_t pollChild = 0;

protected:
    // One pass of Run after the messages: background, buttons, Poll, the
    // child's buttons, Present. 0 when Poll reports failure.
    int RunFrame(const PointerReading& pointer);
    void DestroyBackgrounds();
};
