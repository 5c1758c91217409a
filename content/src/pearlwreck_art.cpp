// The pictures, sounds, maps and settings of the game folder "Pearlwreck".
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "bitmap_font.h"
#include "hex_grid.h"
#include "island_maps.h"
#include "output.h"
#include "scenery.h"
#include "sounds.h"

namespace content {

using namespace palette;

namespace {

const std::string kGame = "Pearlwreck/";

const char* const kRoundNames[9] = {"The Quiet Shoals", "Turtle Reef",       "Smugglers' Cove",
                                    "The Coral Maze",   "Gull Rock Passage", "Kraken Waters",
                                    "The Broken Atoll", "Serpent Sound",     "The Pearl Isles"};

const ButtonColours kNavalButton = {rgb(52, 86, 140), rgb(22, 42, 82), kBrass, kCream};
const Colour kNumberBox = rgb(18, 24, 40); // inside the status panel's number boxes

// ---- cells of the chart ----

bool on_mask_edge(int x, int y) {
    const HexMask& m = hex_mask();
    static const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
    for (int i = 0; i < 4; ++i) {
        int nx = x + dx[i], ny = y + dy[i];
        if (nx < 0 || ny < 0 || nx >= kCellWidth || ny >= kCellHeight || !m[ny][nx]) return true;
    }
    return false;
}

Image water_cell(Colour fill, Colour rim) {
    Image cell(kCellWidth, kCellHeight, kKey);
    const HexMask& m = hex_mask();
    for (int y = 0; y < kCellHeight; ++y)
        for (int x = 0; x < kCellWidth; ++x)
            if (m[y][x])
                cell.set(x, y,
                         on_mask_edge(x, y)
                             ? rim
                             : mix(fill, rgb(255, 255, 255), 0.08 * hash_noise(x, y, 3)));
    return cell;
}

// Anything drawn on a cell is kept inside its hexagon.
void clip_to_hex(Image& cell) {
    const HexMask& m = hex_mask();
    for (int y = 0; y < kCellHeight; ++y)
        for (int x = 0; x < kCellWidth; ++x)
            if (!m[y][x]) cell.set(x, y, kKey);
}

Image tileset() {
    const Colour cleared = rgb(176, 216, 214), cleared_rim = rgb(136, 186, 192);
    std::vector<Image> frames;
    Image miss = water_cell(cleared, cleared_rim); // 0: the last unsuccessful search
    draw_line(miss, 4, 5, 10, 12, 2.2, kInkRed);
    draw_line(miss, 10, 5, 4, 12, 2.2, kInkRed);
    frames.push_back(miss);
    Image unused = water_cell(cleared, cleared_rim); // 1: never shown
    fill_circle(unused, 7, 8.5, 1.5, cleared_rim);
    frames.push_back(unused);
    frames.push_back(water_cell(cleared, cleared_rim));                        // 2: cleared water
    Image ring_on_cleared = water_cell(rgb(150, 232, 200), rgb(70, 190, 160)); // 3
    fill_circle(ring_on_cleared, 7, 8.5, 2.2, rgb(210, 250, 230));
    frames.push_back(ring_on_cleared);
    Image ring = water_cell(rgb(60, 210, 160), rgb(20, 150, 120)); // 4: the sonar ring
    fill_circle(ring, 7, 8.5, 2.5, rgb(170, 250, 210));
    frames.push_back(ring);
    frames.push_back(water_cell(cleared, cleared_rim)); // 5: never shown
    for (int k = 1; k <= 5; ++k) {                      // 6..10: found pieces
        Image piece = water_cell(rgb(250, 236, 180), rgb(214, 170, 70));
        draw_treasure(piece, 7, 8.5, 11, k);
        clip_to_hex(piece);
        frames.push_back(piece);
    }
    for (Image& f : frames)
        clip_to_hex(f);
    return strip(frames);
}

Image island_cell(int tile) {
    int mask = tile < kCoastTiles ? tile : kCoastTiles - 1;
    Image cell(kCellWidth, kCellHeight, kKey);
    const HexMask& m = hex_mask();
    for (int y = 0; y < kCellHeight; ++y)
        for (int x = 0; x < kCellWidth; ++x) {
            if (!m[y][x]) continue;
            double coast = 99;
            for (int d = 0; d < 6; ++d)
                if (!(mask & (1 << d))) coast = std::min(coast, edge_distance(x, y, d));
            double n = hash_noise(x, y, 11);
            Colour grass = mix(rgb(96, 156, 70), rgb(70, 128, 54), n);
            Colour sand = mix(rgb(236, 212, 150), rgb(220, 192, 128), n);
            Colour c;
            if (coast < 1.1)
                c = rgb(228, 242, 238);
            else if (coast < 2.8)
                c = sand;
            else if (coast < 3.8)
                c = mix(sand, grass, 0.5);
            else
                c = grass;
            cell.set(x, y, c);
        }
    if (tile >= kCoastTiles) {
        int v = tile - kCoastTiles, kind = v % 4;
        double ox = 7 + (v / 4 % 2 ? 1.5 : -1.0), oy = 9 + (v / 8 ? -1.0 : 1.0);
        switch (kind) {
        case 0: // palm
            draw_line(cell, ox, oy + 4, ox + 1, oy - 2, 1.2, rgb(120, 80, 40));
            for (int a = 0; a < 5; ++a) {
                double ang = -M_PI + a * M_PI / 4;
                draw_line(cell, ox + 1, oy - 2, ox + 1 + 4 * std::cos(ang),
                          oy - 2 + 3 * std::sin(ang) + 1.5, 1.1,
                          a % 2 ? rgb(40, 120, 44) : rgb(60, 150, 60));
            }
            break;
        case 1: // hill
            fill_ellipse(cell, ox, oy + 1, 5, 3.6, rgb(120, 110, 70));
            fill_ellipse(cell, ox - 1, oy, 3, 2, rgb(150, 140, 96));
            break;
        case 2: // hut
            fill_rect(cell, int(ox) - 2, int(oy), 5, 4, rgb(150, 100, 56));
            fill_polygon(cell, {{ox - 4, oy + 0.5}, {ox + 0.5, oy - 4}, {ox + 5, oy + 0.5}},
                         rgb(200, 170, 90));
            break;
        default: // rocks
            fill_circle(cell, ox - 2, oy + 1, 2.2, rgb(120, 120, 116));
            fill_circle(cell, ox + 2, oy + 2, 1.8, rgb(150, 150, 144));
            break;
        }
        clip_to_hex(cell);
    }
    return cell;
}

Image islands_sheet() {
    const int columns = 8, rows = (kIslandTiles + columns - 1) / columns;
    Image sheet(columns * kCellWidth, rows * kCellHeight, kKey);
    for (int t = 0; t < kIslandTiles; ++t)
        sheet.paste(island_cell(t), (t % columns) * kCellWidth, (t / columns) * kCellHeight, false);
    return sheet;
}

// ---- the chart and its status panel ----

void panel_label(Image& img, int x, int baseline, const std::string& text,
                 Align align = Align::Left) {
    TextStyle s;
    s.font = Font::SerifBold, s.pixels = 11, s.colour = kCream;
    s.shadow = 1, s.shadow_colour = rgb(20, 10, 4);
    draw_text(img, s, x, baseline, text, align);
}

void status_panel(Image& img) {
    const int x0 = 598;
    wood(img, x0, 0, 800 - x0, 600, 21, rgb(92, 58, 34));
    fill_rect(img, x0, 0, 4, 600, kBrass);
    fill_rect(img, x0 + 4, 0, 2, 600, rgb(120, 90, 40));
    const Colour box = kNumberBox, rim = rgb(150, 116, 52);
    panel_label(img, 607, 32, "BEST");
    inset_box(img, 656, 12, 118, 30, box, rim);
    panel_label(img, 607, 93, "SCORE");
    inset_box(img, 656, 73, 118, 30, box, rim);
    panel_label(img, 712, 128, "SEARCHES LEFT", Align::Centre);
    inset_box(img, 680, 162, 64, 28, box, rim);
    panel_label(img, 712, 216, "TREASURES", Align::Centre);
    inset_box(img, 670, 222, 86, 22, rgb(40, 30, 22), rim);
    for (int k = 0; k < 5; ++k) { // empty sockets where completed treasures appear
        fill_circle(img, 682 + 16 * k, 233, 5.5, rgb(70, 56, 40));
        stroke_circle(img, 682 + 16 * k, 233, 5.5, 1, rgb(110, 90, 60));
    }
    fill_round_rect(img, 643, 258, 132, 112, 6, kBrass); // round picture frame
    fill_rect(img, 647, 262, 124, 104, rgb(40, 30, 22));
    panel_label(img, 697, 387, "ROUND", Align::Right);
    inset_box(img, 702, 366, 22, 30, box, rim); // wide enough that a digit misses its corners
    // A little ship sailing on the panel.
    Image vignette(130, 70, kKey);
    seascape(vignette, 0, 0, 130, 70, 48, sky_for_round(1));
    sailing_ship(vignette, 30, 54, 0.6, rgb(70, 40, 20), kCream);
    fill_round_rect(img, 643, 404, 134, 74, 6, kBrass);
    img.paste(vignette, 645, 406);
    fill_round_rect(img, 640, 480, 154, 98, 8, rgb(52, 34, 20));
    stroke_round_rect(img, 640, 480, 154, 98, 8, 1.5, kBrass);
}

Image game_background() {
    Image img(800, 600, 0);
    parchment(img, 0, 0, 800, 600, 1);
    // Decorations of the chart's frame; the sea painted afterwards covers anything that strays.
    compass_rose(img, 52, 50, 32);
    pearlwreck_logo(img, 318, 62, 54);
    sailing_ship(img, 500, 78, 0.75, kInk, mix(kParchment, kInk, 0.25));
    TextStyle caption;
    caption.font = Font::TitleItalic, caption.pixels = 17, caption.colour = kInk;
    draw_text(img, caption, 320, 572, "A Chart of the Pearl Isles, drawn by the Ludora team",
              Align::Centre);
    for (int i = 0; i <= 5; ++i) { // a scale bar
        fill_rect(img, 60 + i * 24, 552, 24, 6, i % 2 ? kParchment : kInk);
    }
    stroke_round_rect(img, 59, 551, 146, 8, 0, 1, kInk);
    TextStyle small = caption;
    small.pixels = 12;
    draw_text(img, small, 132, 548, "Leagues", Align::Centre);

    // The sea: exactly the cells in play.
    const int x0 = 40, y0 = 78, x1 = 600, y1 = 540;
    std::vector<uint8_t> sea(size_t(800) * 600, 0);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            CellPosition owner = pixel_owner(x, y);
            if (owner.column < 0 || owner.column >= kColumns || owner.row < 0 || owner.row >= kRows)
                continue;
            if (is_excluded(owner.row * kColumns + owner.column)) continue;
            sea[size_t(y) * 800 + x] = 1;
            Colour c = sea_colour(x, y);
            // Faint hexagon lines, so the chart reads as a grid of cells.
            int lx = ((x - 50 - ((owner.row & 1) ? 7 : 0)) % 14 + 14) % 14;
            int ly = y - (84 + 12 * owner.row);
            if (ly >= 0 && ly < kCellHeight && on_mask_edge(lx, ly) && hash_noise(x, y, 2) < 0.7)
                c = mix(c, kSeaLine, 0.45);
            img.set(x, y, c);
        }
    // A rope of ink and gold along the frame's inner edge.
    for (int y = y0 - 4; y < y1 + 4; ++y)
        for (int x = x0 - 4; x < x1 + 4; ++x) {
            if (sea[size_t(y) * 800 + x]) continue;
            int d = 9;
            for (int dy = -3; dy <= 3; ++dy)
                for (int dx = -3; dx <= 3; ++dx) {
                    int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < 800 && ny < 600 && sea[size_t(ny) * 800 + nx])
                        d = std::min(d, std::max(std::abs(dx), std::abs(dy)));
                }
            if (d == 1)
                img.set(x, y, rgb(58, 34, 18));
            else if (d == 2)
                img.set(x, y, rgb(196, 150, 64));
            else if (d == 3)
                img.set(x, y, mix(img.at(x, y), rgb(58, 34, 18), 0.6));
        }
    status_panel(img);
    return img;
}

// ---- small pictures ----

Image scores_sheet() {
    static const int values[5] = {125, 150, 175, 200, 200};
    Image img(5 * 24, 5 * 12, kKey);
    for (int k = 1; k <= 5; ++k)
        for (int level = 1; level <= 5; ++level) {
            TextStyle s;
            s.font = Font::SansBold, s.pixels = 10, s.colour = treasure_colour(k);
            s.outline = 1, s.outline_colour = rgb(30, 16, 8);
            draw_text(img, s, (level - 1) * 24 + 12, (k - 1) * 12 + 10,
                      std::to_string(values[level - 1]), Align::Centre);
        }
    return img;
}

// The panel's numbers are drawn into the live background at every frame and never wiped
// between changes, so each digit is a solid cell of the box colour that hides the one before.
Image number_font() {
    TextStyle s;
    s.font = Font::SansBold, s.pixels = 20, s.colour = kGold;
    s.outline = 1, s.outline_colour = rgb(90, 50, 10);
    return digit_strip(s, 14, 22, 19, kNumberBox);
}

Image treasure_icon(int k) {
    Image img(16, 16, kKey);
    draw_treasure(img, 8, 8, 14, k);
    return img;
}

Image turn_bonus(int bonus) {
    std::vector<Image> frames;
    for (int f = 0; f < 2; ++f) {
        Image img(100, 22, kKey);
        Colour ribbon = f ? rgb(200, 60, 40) : rgb(150, 30, 24);
        fill_polygon(img, {{0, 2}, {100, 2}, {92, 11}, {100, 20}, {0, 20}, {8, 11}}, ribbon);
        TextStyle s;
        s.font = Font::SansBold, s.pixels = 12, s.colour = f ? rgb(255, 240, 140) : kGold;
        s.outline = 1, s.outline_colour = rgb(60, 10, 6);
        draw_text(img, s, 50, 16, "+" + std::to_string(bonus) + " searches", Align::Centre);
        frames.push_back(img);
    }
    return strip(frames);
}

TextStyle heading(int pixels, Colour colour = kInk) {
    TextStyle s;
    s.font = Font::TitleItalic, s.pixels = pixels, s.colour = colour;
    s.shadow = 1, s.shadow_colour = mix(kParchment, kInk, 0.3);
    return s;
}

TextStyle body(int pixels, Colour colour = kInk) {
    TextStyle s;
    s.font = Font::Serif, s.pixels = pixels, s.colour = colour;
    return s;
}

Image round_picture(int n) {
    Image img(370, 300);
    scroll(img, 40 + n);
    TextStyle title = heading(44);
    title.colour = rgb(120, 40, 20);
    draw_text(img, title, 185, 78, "Round " + std::to_string(n), Align::Centre);
    draw_text(img, heading(22), 185, 110, kRoundNames[n - 1], Align::Centre);
    Image view(240, 104);
    seascape(view, 0, 0, 240, 104, 58, sky_for_round(n - 1));
    island(view, 160, 58, 90 + 6 * n, 30 + 2 * n, 1 + n % 3);
    sailing_ship(view, 30, 70, 0.55, rgb(70, 40, 20), kCream);
    fill_rect(img, 63, 123, 244, 108, kInk);
    img.paste(view, 65, 125, false);
    draw_text(img, body(14), 185, 256, "Click or press Space to set sail", Align::Centre);
    return img;
}

Image round_small(int n) {
    Image img(120, 100);
    seascape(img, 0, 0, 120, 100, 62, sky_for_round(n - 1));
    if (n >= 7) // stars come out in the last rounds
        for (int i = 0; i < 14; ++i)
            img.set(int(hash_noise(i, n, 5) * 120), int(hash_noise(n, i, 6) * 40),
                    rgb(255, 255, 230));
    island(img, 72, 62, 56 + 3 * n, 22 + n, 1 + n % 3);
    TextStyle s = heading(38, kGold);
    s.outline = 2, s.outline_colour = rgb(60, 30, 10), s.shadow = 0;
    draw_text(img, s, 26, 92, std::to_string(n), Align::Centre);
    return img;
}

Image end_picture(bool won) {
    Image img(370, 300);
    scroll(img, won ? 61 : 62);
    TextStyle title = heading(42, won ? rgb(170, 110, 10) : rgb(150, 30, 24));
    draw_text(img, title, 185, 76, won ? "Congratulations!" : "Game Over", Align::Centre);
    Image view(240, 100);
    if (won) {
        seascape(view, 0, 0, 240, 100, 56, sky_for_round(3));
        fill_round_rect(view, 80, 50, 80, 40, 6, rgb(110, 64, 30)); // a treasure chest
        fill_round_rect(view, 78, 36, 84, 20, 8, rgb(140, 84, 40));
        fill_rect(view, 78, 52, 84, 4, kBrass);
        fill_rect(view, 116, 48, 8, 14, kBrass);
        for (int k = 1; k <= 5; ++k)
            draw_treasure(view, 86 + k * 12, 34 - (k % 2) * 4, 14, k);
        sun(view, 200, 22, 10);
    } else {
        Sky storm = {rgb(60, 64, 80), rgb(120, 124, 136), rgb(50, 70, 90), rgb(20, 34, 50)};
        seascape(view, 0, 0, 240, 100, 56, storm);
        wreck(view, 80, 62, 0.7);
        for (int i = 0; i < 20; ++i)
            draw_line(view, hash_noise(i, 1, 3) * 240, hash_noise(i, 2, 3) * 50,
                      hash_noise(i, 1, 3) * 240 - 6, hash_noise(i, 2, 3) * 50 + 14, 1,
                      rgb(180, 190, 200));
    }
    fill_rect(img, 63, 97, 244, 104, kInk);
    img.paste(view, 65, 99, false);
    std::string text = won ? "All nine charts cleared! Each search you kept is worth 10,000 points."
                           : "Your searches have run dry, and the sea keeps its treasure for now.";
    draw_paragraphs(img, body(14), 50, 224, 270, 18, text, Align::Centre);
    draw_text(img, body(12, mix(kInk, kParchment, 0.3)), 185, 276, "Click or press Space",
              Align::Centre);
    return img;
}

Image hall_notice() {
    Image img(300, 100, kKey);
    fill_round_rect(img, 0, 0, 300, 100, 14, kBrass);
    fill_round_rect(img, 4, 4, 292, 92, 11, rgb(40, 26, 60));
    stroke_round_rect(img, 9, 9, 282, 82, 8, 1, kGold);
    for (int i = 0; i < 2; ++i)
        fill_polygon(img, star_points(i ? 262 : 38, 50, 14, 6), kGold);
    TextStyle s = heading(30, kGold);
    s.shadow = 0, s.outline = 1, s.outline_colour = rgb(20, 10, 30);
    draw_text(img, s, 150, 48, "Hall of Fame!", Align::Centre);
    TextStyle b = body(14, kCream);
    draw_text(img, b, 150, 74, "Your score is among the best", Align::Centre);
    return img;
}

// ---- pages shown by the launcher and the help button ----

const char* kRules =
    "Five treasures lie on the sea floor among these islands, each broken into five pieces that "
    "lie in "
    "a straight line of neighbouring cells. Click a patch of open water to search it.\n\n"
    "A search that finds a piece costs nothing. Pieces found one after another are worth more and "
    "more: "
    "125, 150, 175, then 200 each, until a search comes up empty.\n\n"
    "An empty search costs one of your searches and sends out a sonar: rings grow from the cell "
    "and stop "
    "at the distance of the nearest hidden piece. That last ring stays on the chart to guide "
    "you.\n\n"
    "Complete a treasure with no empty search between its finds and you earn 3 extra searches, and "
    "3 more "
    "for each other treasure found whole in the same run.\n\n"
    "Find all 25 pieces to clear the round: your score doubles and you sail on to the next chart. "
    "Islands and the chart's frame cannot be searched.\n\n"
    "You start with 25 searches; when they run out the game is over. Clear all nine charts and "
    "every "
    "search you have left is worth 10,000 points. The twenty best scores enter the hall of fame.";

Image how_to_play() {
    Image img(694, 564);
    page(img, 71, kInk);
    draw_text(img, heading(40, rgb(120, 40, 20)), 347, 64, "How to play Pearlwreck", Align::Centre);
    draw_paragraphs(img, body(14), 44, 100, 436, 18, kRules);
    // Pictures of what the chart shows, beside the text.
    const int px = 500;
    TextStyle label = body(13);
    Image tiles = tileset();
    auto cell = [&](int frame, int x, int yy) {
        img.paste(tiles.crop(frame * 14, 0, 14, 17), x, yy);
    };
    draw_text(img, heading(20), px + 80, 110, "On the chart", Align::Centre);
    cell(0, px, 128);
    draw_paragraphs(img, label, px + 22, 140, 140, 16, "your last empty search");
    cell(2, px, 176);
    draw_paragraphs(img, label, px + 22, 188, 140, 16, "water known to be empty");
    // A ring around a searched cell.
    const int ring[6][2] = {{35, 234}, {7, 234}, {28, 222}, {14, 222}, {28, 246}, {14, 246}};
    for (const auto& r : ring)
        cell(4, px + r[0], r[1]);
    cell(0, px + 21, 234);
    draw_paragraphs(img, label, px + 50, 240, 120, 16,
                    "the sonar ring: treasure lies this far away");
    for (int k = 1; k <= 5; ++k) {
        int yy = 300 + (k - 1) * 28;
        cell(5 + k, px, yy);
        draw_text(img, label, px + 22, yy + 13,
                  std::string("the ") + treasure_name(k) + " treasure");
    }
    draw_text(img, heading(18), px + 80, 462, "Buttons", Align::Centre);
    draw_paragraphs(img, label, px, 482, 170, 16,
                    "New starts a game, Help shows this page, Menu returns to Ludora, Exit quits.");
    draw_text(img, body(13, mix(kInk, kParchment, 0.35)), 347, 548, "Click anywhere to return",
              Align::Centre);
    return img;
}

Image credits_page() {
    Image img(694, 564);
    page(img, 72, kInk);
    draw_text(img, heading(44, rgb(120, 40, 20)), 347, 70, "Credits", Align::Centre);
    pearlwreck_logo(img, 347, 140, 50);
    std::string text =
        "Game design, programming, pictures, sounds and music\n"
        "the Ludora team\n\n"
        "Every picture was drawn and every note composed by our own content generator.\n\n"
        "Fonts\n"
        "DejaVu Sans and DejaVu Serif, from the DejaVu fonts (Bitstream Vera licence)\n"
        "Liberation Serif, from the Liberation fonts (SIL Open Font License)\n\n"
        "Thanks to every captain who sails these charts.";
    draw_paragraphs(img, body(16), 80, 200, 534, 24, text, Align::Centre);
    for (int k = 1; k <= 5; ++k)
        draw_treasure(img, 227 + k * 40, 480, 26, k);
    draw_text(img, body(13, mix(kInk, kParchment, 0.35)), 347, 548, "Click anywhere to return",
              Align::Centre);
    return img;
}

// The game's title screen in the launcher: the launcher's buttons sit in the bays left for them.
Image title_background() {
    Image img(800, 600);
    seascape(img, 0, 0, 800, 290, 200, sky_for_round(3));
    sun(img, 660, 70, 26);
    island(img, 640, 200, 220, 70, 3);
    island(img, 130, 200, 120, 40, 1);
    wreck(img, 330, 214, 1.1);
    pearlwreck_logo(img, 400, 130, 96);
    TextStyle tag = heading(22, kCream);
    tag.shadow = 2, tag.shadow_colour = rgb(20, 30, 50);
    draw_text(img, tag, 400, 172, "Nine sea charts, five treasures each", Align::Centre);
    wood(img, 0, 290, 800, 310, 9, rgb(116, 76, 44));
    fill_rect(img, 0, 286, 800, 4, kBrass);
    // Bays behind the launcher's buttons.
    for (int side = 0; side < 2; ++side)
        for (int y : {296, 365, 435})
            fill_round_rect(img, (side ? 636 : 52) - 4, y - 4, 148, 64, 14, rgb(66, 40, 22));
    fill_round_rect(img, 46, 499, 116, 76, 12, rgb(66, 40, 22));
    TextStyle small = body(11, kCream);
    draw_text(img, small, 76, 568, "Sound", Align::Centre);
    draw_text(img, small, 130, 568, "Music", Align::Centre);
    // The captains' log with the eight player names.
    fill_round_rect(img, 210, 304, 380, 250, 10, rgb(60, 36, 20));
    parchment(img, 216, 310, 368, 238, 15);
    static const int slots[8][2] = {{239, 378}, {408, 378}, {238, 420}, {408, 420},
                                    {238, 464}, {408, 464}, {238, 510}, {408, 510}};
    // A name is drawn from the field's top-left corner: the paper starts a little above and to
    // the left of it, so the letters never touch the rim.
    for (int i = 0; i < 8; ++i) {
        int x = slots[i][0], y = slots[i][1];
        fill_round_rect(img, x - 6, y - 8, 158, 34, 5, rgb(150, 116, 70));
        fill_rect(img, x - 4, y - 6, 154, 30, kFieldPaper);
        draw_text(img, body(11, kInk), x - 11, y + 13, std::to_string(i + 1), Align::Centre);
    }
    fill_round_rect(img, 276, 314, 248, 54, 12, rgb(150, 116, 70));
    // A chest in the corner.
    fill_round_rect(img, 640, 520, 110, 56, 6, rgb(96, 56, 26));
    fill_round_rect(img, 636, 504, 118, 26, 10, rgb(130, 78, 36));
    fill_rect(img, 636, 526, 118, 5, kBrass);
    fill_rect(img, 690, 520, 10, 18, kBrass);
    for (int k = 1; k <= 5; ++k)
        draw_treasure(img, 644 + k * 17, 502 - (k % 2) * 5, 18, k);
    return img;
}

Image game_splash(bool credit) {
    Image img(800, 600);
    Sky sky = credit ? sky_for_round(7) : sky_for_round(2);
    seascape(img, 0, 0, 800, 600, 380, sky);
    if (credit)
        for (int i = 0; i < 60; ++i)
            img.set(int(hash_noise(i, 1, 8) * 800), int(hash_noise(i, 2, 8) * 300),
                    rgb(255, 255, 230));
    else
        sun(img, 620, 140, 40);
    island(img, 600, 380, 320, 110, 4);
    island(img, 150, 380, 160, 50, 1);
    wreck(img, 300, 410, 1.8);
    sailing_ship(img, 60, 470, 1.3, rgb(60, 34, 18), kCream);
    pearlwreck_logo(img, 400, 200, 120);
    TextStyle s = heading(26, kCream);
    s.shadow = 2, s.shadow_colour = rgb(10, 20, 40);
    if (!credit) {
        draw_text(img, s, 400, 250, "A treasure hunt by the Ludora team", Align::Centre);
    } else {
        draw_text(img, s, 400, 250, "Thanks for playing!", Align::Centre);
        TextStyle b = body(18, kCream);
        b.shadow = 1, b.shadow_colour = rgb(10, 20, 40);
        draw_paragraphs(img, b, 150, 520, 500, 24,
                        "Made by the Ludora team. Fonts: DejaVu and Liberation.", Align::Centre);
    }
    return img;
}

Image shelf_button() {
    Image img(250, 100, kKey);
    fill_round_rect(img, 0, 0, 250, 100, 12, rgb(40, 26, 14));
    Image view(242, 92);
    seascape(view, 0, 0, 242, 92, 60, sky_for_round(2));
    island(view, 190, 60, 80, 30, 2);
    wreck(view, 20, 66, 0.5);
    pearlwreck_logo(view, 121, 50, 40);
    Image rounded(242, 92, kKey);
    fill_round_rect(rounded, 0, 0, 242, 92, 9, rgb(0, 0, 0));
    for (int y = 0; y < 92; ++y)
        for (int x = 0; x < 242; ++x)
            if (rounded.at(x, y) != kKey) img.set(x + 4, y + 4, view.at(x, y));
    for (int k = 1; k <= 5; ++k)
        draw_treasure(img, 72 + k * 18, 82, 13, k);
    return img;
}

std::string setup_ini() {
    return "[setup]\r\nfullscreen=0\r\nnowindow=0\r\nontop=0\r\n";
}

} // namespace

void make_pearlwreck_content(Output& out) {
    out.picture(kGame + "background.bmp", game_background());
    out.picture(kGame + "tileset.bmp", tileset());
    out.picture(kGame + "islands.bmp", islands_sheet());
    out.picture(kGame + "scores.bmp", scores_sheet());
    out.picture(kGame + "NumberFont.bmp", number_font());
    for (int n = 1; n <= 9; ++n) {
        out.picture(kGame + "round" + std::to_string(n) + ".bmp", round_picture(n));
        out.picture(kGame + "round" + std::to_string(n) + "small.bmp", round_small(n));
    }
    for (int k = 1; k <= 5; ++k)
        out.picture(kGame + "g" + std::to_string(k) + ".bmp", treasure_icon(k));
    for (int b = 3; b <= 15; b += 3)
        out.picture(kGame + "turnbonus" + std::to_string(b) + ".bmp", turn_bonus(b));
    out.picture(kGame + "gameover.bmp", end_picture(false));
    out.picture(kGame + "congrats.bmp", end_picture(true));
    out.picture(kGame + "hallfamepop.bmp", hall_notice());
    out.picture(kGame + "help.bmp", button_strip(68, 42, "Help", kNavalButton, 3, 13));
    out.picture(kGame + "newgame.bmp", button_strip(68, 42, "New", kNavalButton, 3, 13));
    out.picture(kGame + "menu.bmp", button_strip(68, 42, "Menu", kNavalButton, 3, 13));
    out.picture(kGame + "exit.bmp", button_strip(68, 42, "Exit", kNavalButton, 3, 13));
    out.picture(kGame + "title/titlebackground.bmp", title_background());
    out.picture(kGame + "title/HowToPlay.bmp", how_to_play());
    out.picture(kGame + "title/Credits.bmp", credits_page());
    out.picture(kGame + "title/TovikSplash.bmp", game_splash(false));
    out.picture(kGame + "title/TovikCredit.bmp", game_splash(true));
    out.picture(kGame + "LudoraButton.bmp", shelf_button());

    std::vector<IslandMap> maps = make_island_maps();
    std::vector<char> data;
    for (const IslandMap& m : maps)
        data.insert(data.end(), m.begin(), m.end());
    out.bytes(kGame + "islands.dat", data);

    for (auto& [name, sound] : make_sound_effects())
        out.sound(kGame + "sounds/" + name, sound);
    out.sound(kGame + "sounds/music.wav", make_sea_shanty());
    out.text(kGame + "setup.ini", setup_ini());
}

} // namespace content
