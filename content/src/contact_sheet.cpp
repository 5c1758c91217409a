#include <algorithm>

#include "output.h"
#include "text.h"

namespace content {

namespace {

Image show_key(const Image& src, int scale) {
    Image out(src.width() * scale, src.height() * scale);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            Colour c = src.at(x / scale, y / scale);
            if (c == kKey) c = ((x / 6 + y / 6) & 1) ? rgb(150, 150, 150) : rgb(120, 120, 120);
            out.set(x, y, c);
        }
    return out;
}

} // namespace

// Every picture on a neutral grey, each with its path; large ones at half size, tiny ones doubled.
Image contact_sheet(const std::vector<Output::Entry>& pictures) {
    const int width = 1640, pad = 14, label = 18;
    std::vector<Image> tiles;
    for (const Output::Entry& e : pictures) {
        const Image& img = e.image;
        if (img.width() > 400 && img.height() > 60) // fonts stay readable at their own size
            tiles.push_back(img.scaled_down(2));
        else if (img.width() <= 200 && img.height() <= 60)
            tiles.push_back(show_key(img, 2));
        else
            tiles.push_back(show_key(img, 1));
    }
    // Shelf packing, row by row, to find the height first.
    struct Place {
        int x, y;
    };
    std::vector<Place> places;
    int x = pad, y = 50, row_height = 0;
    for (size_t i = 0; i < tiles.size(); ++i) {
        int w = std::max(tiles[i].width(), text_width(Font::Sans, 12, pictures[i].path));
        if (x + w + pad > width) x = pad, y += row_height + label + pad, row_height = 0;
        places.push_back({x, y});
        x += w + pad;
        row_height = std::max(row_height, tiles[i].height());
    }
    Image sheet(width, y + row_height + label + pad, rgb(128, 128, 128));
    TextStyle title;
    title.font = Font::SansBold, title.pixels = 22, title.colour = rgb(250, 250, 250);
    draw_text(sheet, title, pad, 32, "Ludora and Pearlwreck: every picture of both folders");
    TextStyle name;
    name.font = Font::Sans, name.pixels = 12, name.colour = rgb(255, 255, 255);
    for (size_t i = 0; i < tiles.size(); ++i) {
        sheet.paste(tiles[i], places[i].x, places[i].y, false);
        draw_text(sheet, name, places[i].x, places[i].y + tiles[i].height() + 14, pictures[i].path);
    }
    return sheet;
}

} // namespace content
