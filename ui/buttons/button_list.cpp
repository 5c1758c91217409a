#include "ui/buttons/button_list.h"

#include <cstring>

ButtonList::~ButtonList() {
    for (Button* button : buttons) {
        delete button;
    }
    buttons.Clear();
}

void ButtonList::Add(Button* button) {
    if (button) {
        buttons.Add(button);
    }
}

void ButtonList::SetOrigin(int32_t x, int32_t y) {
    originX = x;
    originY = y;
    for (Button* button : buttons) {
        button->SetOrigin(x, y);
    }
}

void ButtonList::UpdateAll(int32_t pointerX, int32_t pointerY, int32_t pointerButtons) {
    for (Button* button : buttons) {
        button->Update(pointerX, pointerY, pointerButtons);
    }
}

void ButtonList::DrawAll() {
    // In list order, so later buttons are drawn over earlier ones.
    for (Button* button : buttons) {
        button->Redraw();
    }
}

Button* ButtonList::FindClicked() const {
    for (Button* button : buttons) {
        if (button->Clicked() && button->enabled) {
            return button;
        }
    }
    return nullptr;
}

int ButtonList::WasClicked(const char* buttonName) const {
    Button* button = FindClicked();
    return button && buttonName && std::strcmp(button->name, buttonName) == 0;
}

Button* ButtonList::FindByName(const char* buttonName) const {
    if (!buttonName) {
        return nullptr;
    }
    for (Button* button : buttons) {
        if (std::strcmp(button->name, buttonName) == 0) {
            return button;
        }
    }
    return nullptr;
}
