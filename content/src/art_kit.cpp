#include "art_kit.h"

#include <algorithm>
#include <cmath>

namespace content {

using namespace palette;

void parchment(Image& img, int x0, int y0, int w, int h, int seed) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            double stain = smooth_noise(x / 60.0, y / 60.0, seed) * 0.6 +
                           smooth_noise(x / 17.0, y / 17.0, seed + 1) * 0.4;
            double grain = hash_noise(x, y, seed + 2);
            double ex = std::min(x - x0, x0 + w - 1 - x) / 40.0,
                   ey = std::min(y - y0, y0 + h - 1 - y) / 40.0;
            double edge = 1 - std::clamp(std::min(ex, ey), 0.0, 1.0);
            double t = 0.25 * stain + 0.08 * grain + 0.55 * edge * edge;
            img.set(x, y, mix(kParchment, kParchmentDark, t));
        }
}

void wood(Image& img, int x0, int y0, int w, int h, int seed, Colour base) {
    const int plank = 24;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            int p = (y - y0) / plank;
            double grain = smooth_noise(x / 40.0 + p * 13, (y - y0) / 3.0, seed + p);
            double fine = hash_noise(x, y, seed);
            double f = 0.85 + 0.25 * grain + 0.05 * fine;
            if ((y - y0) % plank == 0) f = 0.55; // the joint between planks
            img.set(x, y, shade(base, f));
        }
}

Colour sea_colour(int x, int y) {
    double swell =
        smooth_noise(x / 90.0, y / 70.0, 5) * 0.7 + smooth_noise(x / 25.0, y / 25.0, 6) * 0.3;
    Colour c = mix(kSeaLight, kSeaDeep, 0.25 + 0.55 * swell);
    // Small wave marks, like an engraver's hatching.
    int cell = 22;
    int cx = x / cell, cy = y / (cell / 2);
    double wx = x - cx * cell - 6 - hash_noise(cx, cy, 9) * 8, wy = y - cy * (cell / 2) - 5;
    if (hash_noise(cx, cy, 8) < 0.35 && wx >= 0 && wx < 8) {
        double curve = 1.6 * std::sin(wx / 8 * M_PI);
        if (std::abs(wy + curve) < 0.6) c = mix(c, rgb(180, 220, 230), 0.35);
    }
    return c;
}

void inset_box(Image& img, int x, int y, int w, int h, Colour fill, Colour rim) {
    fill_round_rect(img, x - 2, y - 2, w + 4, h + 4, 6, rim);
    fill_round_rect(img, x, y, w, h, 4, fill);
    for (int i = 0; i < w - 4; ++i)
        img.blend(x + 2 + i, y + 1, rgb(0, 0, 0), 0.25); // inner shadow
}

Image button_face(int w, int h, const std::string& label, ButtonColours c, ButtonLook look,
                  int text_pixels, Font font) {
    Image img(w, h, kKey);
    Colour top = c.top, bottom = c.bottom, border = c.border;
    int dy = 0;
    if (look == ButtonLook::Hover)
        top = shade(top, 1.18), bottom = shade(bottom, 1.15), border = kGold;
    if (look == ButtonLook::Pressed)
        std::swap(top, bottom), top = shade(top, 0.9), dy = 1, border = kGold;
    double r = std::min(h / 2.0 - 1, 12.0);
    fill_round_rect(img, 1, 2, w - 2, h - 2, r, shade(border, 0.55)); // drop shade under the face
    fill_round_rect(img, 1, 1 + dy, w - 2, h - 3, r, border);
    fill_round_rect(img, 3, 3 + dy, w - 6, h - 7, r - 2,
                    vertical_gradient(3 + dy, h - 4 + dy, top, bottom));
    // A gloss band on the upper half.
    fill_round_rect(img, 6, 4 + dy, w - 12, (h - 8) / 2.5, r - 4, [&](int, int y) {
        return mix(shade(top, 1.25), top, double(y - 4 - dy) / std::max(1.0, (h - 8) / 2.5));
    });
    if (!label.empty()) {
        TextStyle s;
        s.font = font, s.pixels = text_pixels, s.colour = c.text;
        s.outline = 1, s.outline_colour = shade(bottom, 0.45);
        int base = (h + ascent(font, text_pixels) * 7 / 10) / 2 + dy;
        draw_text(img, s, w / 2, base, label, Align::Centre);
    }
    return img;
}

Image button_strip(int w, int h, const std::string& label, ButtonColours colours, int frames,
                   int text_pixels, Font font) {
    std::vector<Image> faces = {
        button_face(w, h, label, colours, ButtonLook::Normal, text_pixels, font),
        button_face(w, h, label, colours, ButtonLook::Hover, text_pixels, font)};
    if (frames == 3)
        faces.push_back(button_face(w, h, label, colours, ButtonLook::Pressed, text_pixels, font));
    return strip(faces);
}

const char* treasure_name(int k) {
    static const char* names[] = {"", "Pearl", "Doubloon", "Ruby", "Emerald", "Crown"};
    return names[k];
}

Colour treasure_colour(int k) {
    static const Colour colours[] = {0,
                                     rgb(236, 236, 244),
                                     rgb(255, 228, 70),
                                     rgb(236, 50, 64),
                                     rgb(50, 210, 110),
                                     rgb(255, 136, 40)};
    return colours[k];
}

void draw_treasure(Image& img, double cx, double cy, double size, int k) {
    double r = size / 2;
    Colour dark = rgb(40, 26, 16);
    switch (k) {
    case 1: // pearl in an open shell
        fill_ellipse(img, cx, cy + r * 0.35, r * 0.95, r * 0.55, rgb(214, 160, 150));
        fill_circle(img, cx, cy - r * 0.05, r * 0.62 + 0.5, dark);
        fill_circle(img, cx, cy - r * 0.05, r * 0.62, rgb(238, 236, 246));
        fill_circle(img, cx - r * 0.2, cy - r * 0.25, r * 0.22, rgb(255, 255, 255));
        break;
    case 2: // gold doubloon
        fill_circle(img, cx, cy, r * 0.95, rgb(150, 100, 20));
        fill_circle(img, cx, cy, r * 0.8, rgb(250, 204, 60));
        stroke_circle(img, cx, cy, r * 0.55, std::max(1.0, r * 0.12), rgb(200, 140, 30));
        fill_circle(img, cx - r * 0.3, cy - r * 0.3, r * 0.18, rgb(255, 244, 180));
        break;
    case 3:   // ruby
    case 4: { // emerald
        Colour base = k == 3 ? rgb(210, 30, 50) : rgb(30, 170, 90);
        std::vector<Point> gem = {{cx - r * 0.9, cy - r * 0.2},
                                  {cx - r * 0.5, cy - r * 0.75},
                                  {cx + r * 0.5, cy - r * 0.75},
                                  {cx + r * 0.9, cy - r * 0.2},
                                  {cx, cy + r * 0.95}};
        std::vector<Point> rim = gem;
        for (Point& p : rim)
            p.x += (p.x - cx) * 0.12, p.y += (p.y - cy) * 0.12;
        fill_polygon(img, rim, dark);
        fill_polygon(img, gem, base);
        fill_polygon(
            img, {{cx - r * 0.9, cy - r * 0.2}, {cx + r * 0.9, cy - r * 0.2}, {cx, cy + r * 0.95}},
            shade(base, 0.75));
        fill_polygon(
            img,
            {{cx - r * 0.45, cy - r * 0.65}, {cx, cy - r * 0.7}, {cx - r * 0.3, cy - r * 0.25}},
            shade(base, 1.6));
        break;
    }
    default: { // crown
        std::vector<Point> crown = {{cx - r * 0.9, cy + r * 0.6}, {cx - r * 0.9, cy - r * 0.5},
                                    {cx - r * 0.45, cy},          {cx, cy - r * 0.8},
                                    {cx + r * 0.45, cy},          {cx + r * 0.9, cy - r * 0.5},
                                    {cx + r * 0.9, cy + r * 0.6}};
        std::vector<Point> rim = crown;
        for (Point& p : rim)
            p.x += (p.x - cx) * 0.15, p.y += (p.y - cy) * 0.15;
        fill_polygon(img, rim, dark);
        fill_polygon(img, crown, rgb(252, 186, 40));
        fill_rect(img, int(cx - r * 0.8), int(cy + r * 0.3), int(r * 1.6),
                  std::max(1, int(r * 0.2)), rgb(200, 120, 20));
        fill_circle(img, cx, cy + r * 0.05, std::max(1.0, r * 0.16), rgb(220, 30, 60));
        break;
    }
    }
}

void compass_rose(Image& img, double cx, double cy, double r) {
    stroke_circle(img, cx, cy, r, 2, kInk);
    stroke_circle(img, cx, cy, r * 0.82, 1, kInk);
    for (int i = 0; i < 8; ++i) {
        double a = i * M_PI / 4 - M_PI / 2;
        double len = (i % 2 ? 0.55 : 0.95) * r, w = r * 0.13;
        Point tip{cx + len * std::cos(a), cy + len * std::sin(a)};
        Point left{cx + w * std::cos(a - M_PI / 2), cy + w * std::sin(a - M_PI / 2)};
        Point right{cx + w * std::cos(a + M_PI / 2), cy + w * std::sin(a + M_PI / 2)};
        fill_polygon(img, {left, tip, {cx, cy}}, i == 0 ? kInkRed : kInk);
        fill_polygon(img, {{cx, cy}, tip, right}, i == 0 ? shade(kInkRed, 1.4) : kParchment);
        draw_line(img, cx, cy, tip.x, tip.y, 0.8, kInk);
    }
    fill_circle(img, cx, cy, r * 0.08, kBrass);
    TextStyle s;
    s.font = Font::SerifBold, s.pixels = int(r * 0.32), s.colour = kInk;
    draw_text(img, s, int(cx), int(cy - r - 3), "N", Align::Centre);
}

void sailing_ship(Image& img, double x, double baseline, double k, Colour hull, Colour sail) {
    fill_polygon(img,
                 {{x, baseline - 14 * k},
                  {x + 80 * k, baseline - 14 * k},
                  {x + 68 * k, baseline},
                  {x + 10 * k, baseline}},
                 hull);
    fill_rect(img, int(x + 39 * k), int(baseline - 70 * k), std::max(1, int(2.5 * k)), int(58 * k),
              hull);
    fill_rect(img, int(x + 18 * k), int(baseline - 50 * k), std::max(1, int(2 * k)), int(38 * k),
              hull);
    fill_polygon(img,
                 {{x + 42 * k, baseline - 68 * k},
                  {x + 66 * k, baseline - 44 * k},
                  {x + 42 * k, baseline - 18 * k}},
                 sail);
    fill_polygon(img,
                 {{x + 20 * k, baseline - 48 * k},
                  {x + 36 * k, baseline - 34 * k},
                  {x + 20 * k, baseline - 18 * k}},
                 sail);
    fill_polygon(img,
                 {{x + 38 * k, baseline - 66 * k},
                  {x + 24 * k, baseline - 52 * k},
                  {x + 38 * k, baseline - 22 * k}},
                 shade(sail, 0.85));
    fill_polygon(img,
                 {{x + 41 * k, baseline - 78 * k},
                  {x + 52 * k, baseline - 74 * k},
                  {x + 41 * k, baseline - 70 * k}},
                 kInkRed);
}

void palm_tree(Image& img, double x, double ground, double k) {
    for (int i = 0; i < 12; ++i) {
        double t = i / 12.0;
        fill_circle(img, x + 10 * k * t * t, ground - 48 * k * t, 3.2 * k * (1 - 0.4 * t),
                    rgb(120, 80, 40));
    }
    double tx = x + 10 * k, ty = ground - 48 * k;
    for (int i = 0; i < 6; ++i) {
        double a = -M_PI + i * M_PI / 5 + 0.1;
        for (int j = 0; j < 10; ++j) {
            double t = j / 10.0;
            double px = tx + std::cos(a) * 28 * k * t,
                   py = ty + std::sin(a) * 16 * k * t + 14 * k * t * t;
            fill_circle(img, px, py, 3.5 * k * (1 - t * 0.7),
                        i % 2 ? rgb(40, 130, 50) : rgb(60, 160, 60));
        }
    }
    fill_circle(img, tx - 2 * k, ty + 3 * k, 2.5 * k, rgb(90, 60, 30));
    fill_circle(img, tx + 3 * k, ty + 4 * k, 2.5 * k, rgb(90, 60, 30));
}

void sun(Image& img, double cx, double cy, double r) {
    for (int i = 0; i < 12; ++i) {
        double a = i * M_PI / 6;
        draw_line(img, cx + std::cos(a) * r * 1.2, cy + std::sin(a) * r * 1.2,
                  cx + std::cos(a) * r * 1.6, cy + std::sin(a) * r * 1.6, 3, rgb(255, 200, 80));
    }
    fill_circle(img, cx, cy, r, rgb(255, 214, 96));
    fill_circle(img, cx - r * 0.2, cy - r * 0.2, r * 0.7, rgb(255, 232, 150));
}

void pearlwreck_logo(Image& img, int cx, int baseline, int pixels) {
    TextStyle s;
    s.font = Font::TitleItalic, s.pixels = pixels, s.colour = kGold;
    s.outline = std::max(2, pixels / 22), s.outline_colour = rgb(70, 36, 14);
    s.shadow = std::max(2, pixels / 16), s.shadow_colour = rgb(20, 12, 6);
    draw_text(img, s, cx, baseline, "Pearlwreck", Align::Centre);
    // A light pass on the upper part of the letters for a metal sheen.
    TextStyle gloss = s;
    gloss.outline = 0, gloss.shadow = 0, gloss.colour = rgb(255, 240, 170);
    Image sheen(img.width(), img.height(), kKey);
    draw_text(sheen, gloss, cx, baseline, "Pearlwreck", Align::Centre);
    int top = baseline - ascent(Font::TitleItalic, pixels);
    for (int y = std::max(0, top); y < std::min(img.height(), baseline - pixels / 3); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (sheen.at(x, y) != kKey)
                img.blend(x, y, sheen.at(x, y), 0.6 * (1 - double(y - top) / (pixels * 0.7)));
}

void ludora_logo(Image& img, int x, int baseline, int pixels) {
    static const Colour colours[] = {palette::kToyOrange, palette::kToyTeal, palette::kToyPurple,
                                     rgb(230, 70, 90),    rgb(80, 150, 60),  rgb(236, 176, 30)};
    const std::string name = "Ludora";
    int pen = x;
    for (size_t i = 0; i < name.size(); ++i) {
        std::string letter(1, name[i]);
        TextStyle s;
        s.font = Font::SansBold, s.pixels = pixels, s.colour = colours[i % 6];
        s.outline = std::max(2, pixels / 18), s.outline_colour = rgb(255, 255, 255);
        s.shadow = std::max(2, pixels / 14), s.shadow_colour = rgb(120, 80, 50);
        int lift = (i % 2) ? -pixels / 16 : 0; // letters bob like stacked toy blocks
        draw_text(img, s, pen, baseline + lift, letter);
        pen += text_width(Font::SansBold, pixels, letter) + 2;
    }
}

} // namespace content
