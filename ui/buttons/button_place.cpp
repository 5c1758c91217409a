#include "ui/buttons/button_place.h"

#include <new>

Button* MakePlacedButton(const ButtonPlace& place, int32_t looks) {
    Button* button = new (std::nothrow) Button(place.x, place.y);
    if (button) {
        button->LoadFrames(place.picture, looks, 0);
        button->SetName(place.name);
    }
    return button;
}

void AddPlacedButtons(Scene& scene, const ButtonPlace* places, size_t count, int32_t looks) {
    for (size_t i = 0; i < count; ++i) {
        if (Button* button = MakePlacedButton(places[i], looks)) {
            scene.AddButton(button);
        }
    }
}
