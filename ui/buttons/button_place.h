// Where a screen's button stands and the picture its looks are cut from.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ui/buttons/button.h"
#include "ui/pictures/scene.h"

struct ButtonPlace {
    const char* name;
    const char* picture;
    int32_t x, y;
};

// The button named and placed as given, its picture cut into `looks` frames
// side by side; null when memory ran out.
Button* MakePlacedButton(const ButtonPlace& place, int32_t looks);

// Adds one such button per place to the scene, in order.
void AddPlacedButtons(Scene& scene, const ButtonPlace* places, size_t count, int32_t looks);

template <size_t N>
void AddPlacedButtons(Scene& scene, const ButtonPlace (&places)[N], int32_t looks) {
    AddPlacedButtons(scene, places, N, looks);
}
