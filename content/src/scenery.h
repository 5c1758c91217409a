// Larger illustrations shared by several pictures: seascapes, islands, scrolls and pages.
#pragma once

#include "art_kit.h"

namespace content {

struct Sky {
    Colour top, bottom, sea_top, sea_bottom;
};
Sky sky_for_round(int round); // morning to night over the nine rounds

// Sky over sea, horizon at `horizon` (image coordinates), inside the box.
void seascape(Image& img, int x, int y, int w, int h, int horizon, const Sky& sky);
void island(Image& img, double cx, double horizon, double width, double height, int palms);
void wreck(Image& img, double x, double waterline, double k);

// A paper scroll with rolled ends filling the image; keyed outside.
void scroll(Image& img, int seed);
// A bordered parchment page filling the image.
void page(Image& img, int seed, Colour border);

} // namespace content
