#include "scenery.h"

#include <algorithm>
#include <cmath>

namespace content {

using namespace palette;

Sky sky_for_round(int round) {
    static const Sky skies[9] = {
        {rgb(120, 190, 236), rgb(214, 236, 246), rgb(70, 150, 190), rgb(30, 96, 140)},
        {rgb(100, 176, 230), rgb(200, 230, 244), rgb(60, 144, 186), rgb(28, 92, 136)},
        {rgb(86, 160, 222), rgb(236, 230, 200), rgb(56, 136, 180), rgb(26, 86, 130)},
        {rgb(96, 150, 210), rgb(250, 220, 160), rgb(60, 128, 170), rgb(30, 80, 124)},
        {rgb(110, 130, 196), rgb(252, 196, 120), rgb(70, 116, 156), rgb(34, 72, 116)},
        {rgb(96, 100, 170), rgb(250, 160, 100), rgb(76, 100, 140), rgb(36, 60, 104)},
        {rgb(70, 70, 140), rgb(236, 120, 96), rgb(60, 80, 124), rgb(28, 48, 92)},
        {rgb(40, 44, 100), rgb(150, 90, 120), rgb(40, 60, 104), rgb(20, 36, 76)},
        {rgb(16, 22, 60), rgb(60, 60, 120), rgb(26, 40, 84), rgb(12, 22, 56)},
    };
    return skies[std::clamp(round, 0, 8)];
}

void seascape(Image& img, int x, int y, int w, int h, int horizon, const Sky& sky) {
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx) {
            Colour c;
            if (yy < horizon) {
                c = mix(sky.top, sky.bottom, double(yy - y) / std::max(1, horizon - y));
                double cloud = smooth_noise(xx / 40.0, yy / 12.0, 31) - 0.62;
                if (cloud > 0) c = mix(c, rgb(255, 255, 255), std::min(0.6, cloud * 3));
            } else {
                double t = double(yy - horizon) / std::max(1, y + h - horizon);
                c = mix(sky.sea_top, sky.sea_bottom, t);
                double wave = std::sin(xx / (6.0 + 20 * t) + yy * 1.7 +
                                       smooth_noise(xx / 30.0, yy / 5.0, 4) * 6);
                if (wave > 0.93) c = mix(c, rgb(255, 255, 255), 0.35);
            }
            img.set(xx, yy, c);
        }
}

void island(Image& img, double cx, double horizon, double width, double height, int palms) {
    // Only the part above the waterline is drawn.
    auto mound = [&](double mx, double my, double rx, double ry, Colour c) {
        fill_shape(
            img, int(mx - rx) - 1, int(my - ry) - 1, int(mx + rx) + 2, int(horizon) + 1,
            [=](double px, double py) {
                double dx = (px - mx) / rx, dy = (py - my) / ry;
                return py < horizon && dx * dx + dy * dy <= 1;
            },
            solid(c));
    };
    mound(cx, horizon + 1, width / 2 + 6, height * 0.18, rgb(236, 246, 240)); // surf
    mound(cx, horizon + 1, width / 2, height * 0.16, rgb(232, 206, 140));
    mound(cx - width * 0.05, horizon, width * 0.36, height * 0.5, rgb(70, 140, 60));
    mound(cx + width * 0.1, horizon, width * 0.2, height * 0.62, rgb(90, 158, 70));
    for (int i = 0; i < palms; ++i)
        palm_tree(img, cx - width * 0.25 + i * width * 0.22, horizon - height * 0.3 - (i % 2) * 4,
                  height / 60.0 * (1 + 0.15 * (i % 2)));
}

void wreck(Image& img, double x, double waterline, double k) {
    Colour hull = rgb(70, 44, 26);
    fill_polygon(img,
                 {{x, waterline - 30 * k},
                  {x + 70 * k, waterline - 6 * k},
                  {x + 64 * k, waterline + 4 * k},
                  {x - 4 * k, waterline + 4 * k}},
                 hull);
    for (int i = 0; i < 4; ++i)
        draw_line(img, x + 8 * k + i * 14 * k, waterline - 24 * k + i * 5 * k,
                  x + 8 * k + i * 14 * k, waterline, 1.5 * k, rgb(40, 24, 14));
    draw_line(img, x + 30 * k, waterline - 18 * k, x + 10 * k, waterline - 80 * k, 3 * k,
              hull); // broken mast
    fill_polygon(img,
                 {{x + 12 * k, waterline - 74 * k},
                  {x + 34 * k, waterline - 60 * k},
                  {x + 18 * k, waterline - 44 * k}},
                 rgb(214, 200, 170));
}

void scroll(Image& img, int seed) {
    img.fill(kKey);
    int w = img.width(), h = img.height();
    parchment(img, 14, 10, w - 28, h - 20, seed);
    for (int side = 0; side < 2; ++side) { // the rolled ends
        int x = side ? w - 22 : 0;
        fill_round_rect(img, x, 2, 22, h - 4, 10, [&](int px, int) {
            double t = std::abs(px - (x + 11)) / 11.0;
            return mix(rgb(240, 224, 184), kParchmentDark, t * t);
        });
        stroke_round_rect(img, x, 2, 22, h - 4, 10, 1.5, kInk);
    }
    stroke_round_rect(img, 26, 20, w - 52, h - 40, 6, 1.5, shade(kParchmentDark, 0.8));
}

void page(Image& img, int seed, Colour border) {
    int w = img.width(), h = img.height();
    parchment(img, 0, 0, w, h, seed);
    stroke_round_rect(img, 6, 6, w - 12, h - 12, 10, 3, border);
    stroke_round_rect(img, 12, 12, w - 24, h - 24, 8, 1, border);
    for (int corner = 0; corner < 4; ++corner) {
        double cx = corner % 2 ? w - 22 : 22, cy = corner / 2 ? h - 22 : 22;
        fill_polygon(img, star_points(cx, cy, 8, 3.5, 4), border);
    }
}

} // namespace content
