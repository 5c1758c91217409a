// A screen's buttons, with the origin they are drawn and hit-tested from.
#pragma once

#include <cstdint>

#include "ui/buttons/button.h"
#include "ui/pictures/pointer_list.h"

class ButtonList {
public:
    ButtonList() = default;
    virtual ~ButtonList(); // destroys its buttons
    ButtonList(const ButtonList&) = delete;
    ButtonList& operator=(const ButtonList&) = delete;

    virtual void Add(Button* button);
    virtual void SetOrigin(int32_t x, int32_t y);
    virtual void UpdateAll(int32_t pointerX, int32_t pointerY, int32_t pointerButtons);
    virtual void DrawAll();
    virtual Button* FindClicked() const;
    virtual int WasClicked(const char* buttonName) const;
    virtual Button* FindByName(const char* buttonName) const;

    int32_t Count() const { return buttons.Count(); }
    Button* At(int32_t index) const { return buttons.At(index); }

    int32_t originX = 0;
    int32_t originY = 0;

private:
    PointerList<Button> buttons;
};
