// Shared pieces of the pictures: palette, textures, buttons, treasure icons and emblems.
#pragma once

#include <string>
#include <vector>

#include "image.h"
#include "raster.h"
#include "text.h"

namespace content {

namespace palette {
constexpr Colour kParchment = rgb(233, 215, 172);
constexpr Colour kParchmentDark = rgb(196, 164, 112);
constexpr Colour kInk = rgb(84, 52, 28);
constexpr Colour kInkRed = rgb(168, 40, 30);
constexpr Colour kSeaLight = rgb(96, 168, 188);
constexpr Colour kSeaDeep = rgb(40, 104, 150);
constexpr Colour kSeaLine = rgb(58, 128, 166);
constexpr Colour kWood = rgb(104, 66, 38);
constexpr Colour kWoodDark = rgb(62, 38, 22);
constexpr Colour kBrass = rgb(214, 172, 82);
constexpr Colour kGold = rgb(246, 204, 72);
constexpr Colour kNavy = rgb(24, 40, 70);
constexpr Colour kCream = rgb(250, 240, 214);
constexpr Colour kFieldPaper = rgb(246, 236, 208);  // behind every typed or listed name
constexpr Colour kFieldStripe = rgb(232, 218, 236); // the purple rows of the hall of fame
constexpr Colour kShelfWall = rgb(250, 226, 170);
constexpr Colour kShelfWood = rgb(180, 112, 60);
constexpr Colour kToyOrange = rgb(240, 128, 48);
constexpr Colour kToyTeal = rgb(36, 150, 150);
constexpr Colour kToyPurple = rgb(118, 64, 156);
} // namespace palette

// Aged paper with soft stains, darker towards its edges.
void parchment(Image& img, int x, int y, int w, int h, int seed);
// Horizontal planks with grain.
void wood(Image& img, int x, int y, int w, int h, int seed, Colour base = palette::kWood);
// Open sea with a light swell of wave marks.
Colour sea_colour(int x, int y);
// A recessed box for a number or a name.
void inset_box(Image& img, int x, int y, int w, int h, Colour fill, Colour rim);

enum class ButtonLook { Normal, Hover, Pressed };

// A rounded button face with a label, keyed outside its corners.
struct ButtonColours {
    Colour top, bottom, border, text;
};
Image button_face(int w, int h, const std::string& label, ButtonColours colours, ButtonLook look,
                  int text_pixels = 16, Font font = Font::SansBold);
// Frames side by side: normal, hover and (with three) pressed.
Image button_strip(int w, int h, const std::string& label, ButtonColours colours, int frames,
                   int text_pixels = 16, Font font = Font::SansBold);

// Treasure k (1..5): pearl, gold doubloon, ruby, emerald and crown, drawn in a box of `size`.
void draw_treasure(Image& img, double cx, double cy, double size, int k);
const char* treasure_name(int k);
Colour treasure_colour(int k);

void compass_rose(Image& img, double cx, double cy, double r);
void sailing_ship(Image& img, double x, double baseline, double scale, Colour hull, Colour sail);
void palm_tree(Image& img, double x, double ground, double scale);
void sun(Image& img, double cx, double cy, double r);

// The game's name in gold letters with a dark rim.
void pearlwreck_logo(Image& img, int cx, int baseline, int pixels);
// The launcher's name in toy-block colours.
void ludora_logo(Image& img, int x, int baseline, int pixels);

} // namespace content
