// The pictures, fonts, music and settings of the launcher folder.
#include <cmath>
#include <string>

#include "bitmap_font.h"
#include "output.h"
#include "scenery.h"
#include "sounds.h"

namespace content {

using namespace palette;

namespace {

const ButtonColours kOrange = {rgb(252, 160, 70), rgb(220, 96, 30), rgb(150, 60, 20),
                               rgb(255, 255, 255)};
const ButtonColours kTeal = {rgb(80, 196, 190), rgb(24, 130, 130), rgb(14, 84, 86),
                             rgb(255, 255, 255)};
const ButtonColours kPurple = {rgb(160, 110, 200), rgb(100, 50, 140), rgb(60, 30, 90),
                               rgb(255, 255, 255)};
const ButtonColours kGreen = {rgb(120, 210, 90), rgb(50, 150, 40), rgb(30, 90, 24),
                              rgb(255, 255, 255)};
const ButtonColours kRed = {rgb(240, 100, 96), rgb(190, 40, 44), rgb(110, 20, 24),
                            rgb(255, 255, 255)};
const ButtonColours kGoldButton = {rgb(255, 214, 100), rgb(226, 150, 30), rgb(140, 84, 20),
                                   rgb(255, 255, 255)};

TextStyle friendly(int pixels, Colour colour = rgb(90, 56, 30), Font font = Font::Sans) {
    TextStyle s;
    s.font = font, s.pixels = pixels, s.colour = colour;
    return s;
}

void wallpaper(Image& img, int x0, int y0, int w, int h) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            Colour c = mix(rgb(255, 236, 190), rgb(244, 206, 150), double(y - y0) / h);
            int cx = (x + ((y / 40) % 2) * 20) % 40 - 20, cy = y % 40 - 20;
            if (cx * cx + cy * cy < 10) c = mix(c, rgb(236, 170, 110), 0.5); // polka dots
            img.set(x, y, c);
        }
}

// ---- the games pages ----

Image shelf_background() {
    Image img(800, 600);
    wallpaper(img, 0, 0, 800, 600);
    ludora_logo(img, 22, 92, 76);
    draw_text(img, friendly(20, rgb(120, 70, 40), Font::SansBold), 356, 80, "your shelf of games");
    draw_text(img, friendly(14, rgb(140, 90, 50)), 358, 104, "Pick a game to open its title page.");
    // Controls board.
    fill_round_rect(img, 626, 8, 170, 128, 14, rgb(150, 92, 50));
    fill_round_rect(img, 630, 12, 162, 120, 11,
                    vertical_gradient(12, 132, rgb(196, 130, 74), rgb(160, 98, 52)));
    inset_box(img, 697, 24, 38, 38, rgb(60, 36, 20), rgb(120, 74, 40));
    draw_text(img, friendly(10, rgb(255, 236, 200), Font::SansBold), 716, 78, "PAGE",
              Align::Centre);
    // Shelves with a place for each of the twelve games.
    const int xs[3] = {14, 271, 528}, ys[4] = {140, 247, 355, 461};
    for (int r = 0; r < 4; ++r) {
        for (int x : xs) {
            fill_round_rect(img, x - 2, ys[r] - 2, 254, 104, 13, rgb(226, 180, 124));
            fill_round_rect(img, x, ys[r], 250, 100, 12, rgb(238, 200, 148));
            draw_text(img, friendly(13, rgb(200, 150, 100)), x + 125, ys[r] + 56,
                      "a place for a game", Align::Centre);
        }
        int board = ys[r] + 101;
        fill_rect(img, 4, board, 792, 5, kShelfWood);
        fill_rect(img, 4, board + 5, 792, 2, shade(kShelfWood, 0.6));
        for (int x = 4; x < 796; ++x)
            img.blend(x, board + 7, rgb(120, 70, 30), 0.3);
    }
    draw_text(img, friendly(13, rgb(130, 80, 40)), 400, 590,
              "The place after the last game leads to our web site, with more games to collect.",
              Align::Centre);
    return img;
}

Image arrow_button(bool right) {
    std::vector<Image> frames;
    for (int f = 0; f < 2; ++f) {
        Image img = button_face(54, 46, "", f ? kOrange : kOrange,
                                f ? ButtonLook::Hover : ButtonLook::Normal);
        double cx = 27, cy = 22, d = right ? 1 : -1;
        fill_polygon(img, {{cx + 11 * d, cy}, {cx - 7 * d, cy - 11}, {cx - 7 * d, cy + 11}},
                     rgb(255, 255, 255));
        frames.push_back(img);
    }
    return strip(frames);
}

Image game_button_frames() {
    std::vector<Image> frames;
    for (int f = 0; f < 3; ++f) {
        Image img(250, 100, kKey);
        if (f == 0) {
            stroke_round_rect(img, 0, 0, 250, 100, 12, 2, rgb(120, 74, 40));
        } else {
            Colour ring = f == 1 ? kGold : kToyOrange;
            stroke_round_rect(img, 0, 0, 250, 100, 12, 5, ring);
            stroke_round_rect(img, 0, 0, 250, 100, 12, 1.5, shade(ring, 0.6));
            if (f == 2) stroke_round_rect(img, 5, 5, 240, 90, 8, 3, rgb(80, 40, 20));
            for (int corner = 0; corner < 4; ++corner)
                fill_polygon(img, star_points(corner % 2 ? 236 : 14, corner / 2 ? 86 : 14, 9, 4),
                             ring);
        }
        frames.push_back(img);
    }
    return strip(frames);
}

Image collect_button() {
    Image img(250, 100, kKey);
    fill_round_rect(img, 0, 0, 250, 100, 12, rgb(20, 90, 96));
    fill_round_rect(img, 3, 3, 244, 94, 10,
                    vertical_gradient(3, 97, rgb(90, 206, 196), rgb(30, 140, 150)));
    fill_polygon(img, star_points(42, 50, 30, 13), kGold);
    fill_polygon(img, star_points(42, 50, 23, 10), rgb(255, 232, 120));
    TextStyle plus = friendly(30, rgb(200, 90, 20), Font::SansBold);
    draw_text(img, plus, 42, 61, "+", Align::Centre);
    TextStyle big = friendly(22, rgb(255, 255, 255), Font::SansBold);
    big.outline = 1, big.outline_colour = rgb(10, 70, 76);
    draw_text(img, big, 160, 48, "More games", Align::Centre);
    draw_text(img, friendly(14, rgb(230, 255, 250)), 160, 72, "on our web site", Align::Centre);
    return img;
}

Image page_numbers() {
    TextStyle s = friendly(22, rgb(255, 240, 200), Font::SansBold);
    s.outline = 1, s.outline_colour = rgb(60, 30, 10);
    return digit_strip(s, 16, 24, 21);
}

Image info_screen() {
    Image img(790, 460, kKey);
    fill_round_rect(img, 0, 0, 790, 460, 20, rgb(150, 92, 50));
    fill_round_rect(img, 5, 5, 780, 450, 16, rgb(255, 246, 224));
    ludora_logo(img, 40, 86, 64);
    draw_text(img, friendly(22, rgb(120, 70, 40), Font::SansBold), 330, 80,
              "Welcome to your games shelf!");
    std::string text = "Every game on the shelf is a button: click one to open its title page. "
                       "There you can play it, read "
                       "how to play, look at its hall of fame, see the credits and switch the "
                       "sound effects and the music on or off.\n\n"
                       "Ludora keeps up to eight players. Click a name on a title page to choose "
                       "who is playing, or press "
                       "Players to change a name, address and e-mail.\n\n"
                       "With more than eleven games, the orange arrows turn the pages of the "
                       "shelf. The place after the last "
                       "game leads to our web site, where more games are waiting.\n\n"
                       "Ludora was made by the Ludora team. Its lettering uses the free DejaVu and "
                       "Liberation fonts.";
    draw_paragraphs(img, friendly(16), 44, 132, 620, 22, text);
    for (int i = 0; i < 3; ++i) // a little stack of toy blocks
        fill_round_rect(img, 690 + (i % 2) * 14, 160 + i * 34, 40, 34, 5,
                        i == 0 ? kToyOrange : (i == 1 ? kToyTeal : kToyPurple));
    return img;
}

// ---- the title screen and its pages ----

Image switch_button(bool music) {
    std::vector<Image> frames;
    for (int f = 0; f < 2; ++f) { // "on", then "off"
        Image img(48, 48, kKey);
        Colour face = f ? rgb(150, 150, 150) : rgb(70, 180, 80);
        fill_circle(img, 24, 24, 23, shade(face, 0.55));
        fill_circle(img, 24, 23, 21, face);
        Colour ink = rgb(255, 255, 255);
        if (music) {
            fill_ellipse(img, 17, 32, 5, 4, ink);
            fill_ellipse(img, 31, 29, 5, 4, ink);
            fill_rect(img, 20, 12, 3, 20, ink);
            fill_rect(img, 34, 9, 3, 20, ink);
            fill_polygon(img, {{20, 12}, {37, 8}, {37, 13}, {20, 17}}, ink);
        } else {
            fill_rect(img, 11, 18, 8, 12, ink);
            fill_polygon(img, {{18, 18}, {27, 10}, {27, 38}, {18, 30}}, ink);
            if (!f)
                for (int w = 0; w < 2; ++w) { // sound waves: arcs to the right of the speaker
                    double r = 6.0 + w * 5;
                    fill_shape(
                        img, 28, 8, 46, 40,
                        [=](double px, double py) {
                            double d = std::hypot(px - 27, py - 24);
                            return px > 30 && std::abs(py - 24) < (px - 27) * 1.2 &&
                                   std::abs(d - r) <= 1.1;
                        },
                        solid(ink));
                }
        }
        if (f) draw_line(img, 10, 38, 38, 10, 4, rgb(220, 40, 40));
        frames.push_back(img);
    }
    return strip(frames);
}

Image yes_no() {
    std::vector<Image> frames;
    frames.push_back(button_face(96, 40, "Yes", kGreen, ButtonLook::Normal, 18));
    frames.push_back(button_face(96, 40, "No", kRed, ButtonLook::Normal, 18));
    return strip(frames);
}

Image block_cursor(int height) {
    Image img(10, height, kKey);
    fill_rect(img, 0, 0, 10, height, rgb(230, 110, 30));
    fill_rect(img, 0, 0, 10, 2, rgb(255, 180, 90));
    return img;
}

void launcher_page(Image& img, const std::string& title, int seed) {
    fill_round_rect(img, 0, 0, img.width(), img.height(), 18, rgb(150, 92, 50));
    fill_round_rect(img, 5, 5, img.width() - 10, img.height() - 10, 14, rgb(255, 246, 224));
    (void)seed;
    TextStyle t = friendly(40, kToyPurple, Font::SansBold);
    t.outline = 2, t.outline_colour = rgb(255, 255, 255), t.shadow = 2,
    t.shadow_colour = rgb(200, 160, 120);
    draw_text(img, t, 40, 70, title);
}

Image hall_of_fame_screen() {
    Image img(720, 564, kKey);
    launcher_page(img, "Hall of Fame", 3);
    draw_text(img, friendly(17), 44, 104, "The twenty best scores of this game.");
    // A trophy.
    fill_polygon(img, {{380, 60}, {470, 60}, {458, 130}, {392, 130}}, kGold);
    stroke_circle(img, 380, 82, 14, 5, kGold);
    stroke_circle(img, 470, 82, 14, 5, kGold);
    fill_rect(img, 418, 130, 14, 30, rgb(226, 160, 40));
    fill_round_rect(img, 395, 160, 60, 16, 4, rgb(150, 92, 50));
    fill_polygon(img, star_points(425, 92, 18, 8), rgb(255, 240, 160));
    draw_paragraphs(
        img, friendly(14), 44, 140, 300, 19,
        "Upload sends the top score to our web site. Clear empties the table for a fresh start.");
    // The list: two columns of ten rows, on paper that runs to the page's edges.
    // Rows are drawn from y 257 on this page; each stripe starts a few pixels above its text so
    // the letters sit in the middle of it.
    draw_text(img, friendly(14, rgb(120, 80, 50), Font::SansBold), 8, 246, "Player");
    draw_text(img, friendly(14, rgb(120, 80, 50), Font::SansBold), 203, 246, "Score");
    draw_text(img, friendly(14, rgb(120, 80, 50), Font::SansBold), 339, 246, "Player");
    draw_text(img, friendly(14, rgb(120, 80, 50), Font::SansBold), 534, 246, "Score");
    for (int r = 0; r < 10; ++r) {
        int y = 252 + 26 * r;
        fill_rect(img, 0, y, 720, 26, r % 2 ? kFieldPaper : kFieldStripe);
    }
    fill_rect(img, 327, 252, 2, 260, rgb(200, 160, 120));
    return img;
}

Image player_info_screen() {
    Image img(720, 564, kKey);
    launcher_page(img, "Player", 4);
    draw_paragraphs(
        img, friendly(16), 44, 110, 480, 22,
        "Type your name, your address and your e-mail. They go into the hall of fame with your "
        "scores; only the name is shown. Tab moves to the next line.");
    static const char* labels[3] = {"Name", "Address", "E-mail"};
    static const int ys[3] = {282, 348, 416};
    for (int i = 0; i < 3; ++i) {
        // Typed text starts at the field's corner: the paper reaches past it on every side.
        draw_text(img, friendly(15, rgb(120, 80, 50), Font::SansBold), 50, ys[i] - 11, labels[i]);
        fill_round_rect(img, 42, ys[i] - 8, 596, 34, 6, rgb(200, 160, 120));
        fill_rect(img, 45, ys[i] - 5, 590, 28, kFieldPaper);
    }
    draw_paragraphs(img, friendly(14), 140, 500, 200, 18, "Send my details with my scores");
    // A captain's cap and a name tag.
    fill_ellipse(img, 600, 96, 60, 14, rgb(40, 50, 90));
    fill_round_rect(img, 552, 44, 96, 54, 20, rgb(50, 64, 110));
    fill_rect(img, 552, 84, 96, 8, rgb(30, 36, 70));
    fill_polygon(img, star_points(600, 66, 14, 6), kGold);
    fill_round_rect(img, 560, 160, 110, 60, 8, rgb(255, 255, 255));
    stroke_round_rect(img, 560, 160, 110, 60, 8, 3, kToyOrange);
    draw_text(img, friendly(13, kToyOrange, Font::SansBold), 615, 182, "HELLO", Align::Centre);
    draw_text(img, friendly(12, rgb(120, 80, 50)), 615, 204, "my name is", Align::Centre);
    return img;
}

Image ludora_splash(bool credit) {
    Image img(800, 600);
    wallpaper(img, 0, 0, 800, 600);
    fill_rect(img, 0, 430, 800, 14, kShelfWood);
    fill_rect(img, 0, 444, 800, 4, shade(kShelfWood, 0.6));
    // The launcher's window shows only the left 792 columns and the top 575 rows of
    // these pictures: the lettering is centred inside that area with its shadow.
    constexpr int kShownWidth = 792, kLogoPixels = 132;
    int logo_width = 0;
    for (char letter : std::string("Ludora"))
        logo_width += text_width(Font::SansBold, kLogoPixels, std::string(1, letter)) + 2;
    ludora_logo(img, (kShownWidth - logo_width) / 2, 240, kLogoPixels);
    // Toys on the shelf.
    fill_round_rect(img, 80, 370, 60, 60, 8, kToyOrange);
    fill_round_rect(img, 140, 370, 60, 60, 8, kToyTeal);
    fill_round_rect(img, 110, 310, 60, 60, 8, kToyPurple);
    TextStyle letters = friendly(40, rgb(255, 255, 255), Font::SansBold);
    draw_text(img, letters, 110, 415, "L", Align::Centre);
    draw_text(img, letters, 170, 415, "U", Align::Centre);
    draw_text(img, letters, 140, 355, "D", Align::Centre);
    fill_circle(img, 640, 396, 34, rgb(230, 70, 90));
    stroke_circle(img, 640, 396, 34, 6, rgb(255, 255, 255));
    fill_round_rect(img, 700, 380, 50, 50, 8, rgb(255, 255, 255));
    for (int i = 0; i < 5; ++i)
        fill_circle(img, 712 + (i % 3) * 13, 392 + (i / 3) * 26 + (i == 2 ? 13 : 0), 4,
                    rgb(40, 40, 40));
    TextStyle s = friendly(28, rgb(120, 70, 40), Font::SansBold);
    if (!credit) {
        draw_text(img, s, kShownWidth / 2, 320, "the Ludora team presents", Align::Centre);
    } else {
        draw_text(img, s, kShownWidth / 2, 320, "Thanks for playing!", Align::Centre);
        draw_text(img, friendly(18), kShownWidth / 2, 500,
                  "Ludora and its games are made by the Ludora team.", Align::Centre);
        draw_text(img, friendly(16), kShownWidth / 2, 528,
                  "Lettering: the free DejaVu and Liberation fonts.", Align::Centre);
    }
    return img;
}

std::string setup_ini() {
    return "[setup]\r\nfullscreen=0\r\nnowindow=0\r\n";
}

std::string widths_line(const std::string& name, const BitmapFont& font) {
    std::string line = "font " + name;
    for (int w : font.widths)
        line += " " + std::to_string(w);
    return line;
}

} // namespace

void make_ludora_content(Output& out) {
    out.picture("background.bmp", shelf_background());
    out.picture("PageArrowsLeft.bmp", arrow_button(false));
    out.picture("PageArrowsRight.bmp", arrow_button(true));
    out.picture("Info.bmp", button_strip(76, 40, "Info", kTeal, 2, 15));
    out.picture("SmallExit.bmp", button_strip(76, 40, "Exit", kRed, 2, 15));
    out.picture("GameButton.bmp", game_button_frames());
    out.picture("CollectButton.bmp", collect_button());
    out.picture("PageNumbers.bmp", page_numbers());
    out.picture("infoscreen.bmp", info_screen());
    // One file serves both "backbutton.bmp" and "BackButton.bmp": names are not case-sensitive.
    // 32 high: on the hall of fame it stands just above the first row of scores.
    out.picture("backbutton.bmp", button_strip(84, 32, "Back", kPurple, 2, 16));

    out.picture("HowToPlayButton.bmp", button_strip(140, 56, "How to Play", kTeal, 2, 17));
    out.picture("PlayButton.bmp", button_strip(140, 56, "Play", kGreen, 2, 24));
    out.picture("HighScoresButton.bmp", button_strip(140, 56, "High Scores", kGoldButton, 2, 17));
    out.picture("MenuButton.bmp", button_strip(140, 56, "Menu", kOrange, 2, 20));
    out.picture("CreditsButton.bmp", button_strip(140, 56, "Credits", kPurple, 2, 19));
    out.picture("ExitButton.bmp", button_strip(140, 56, "Exit", kRed, 2, 20));
    out.picture("PlayersButton.bmp", button_strip(240, 48, "Players", kOrange, 2, 20));
    out.picture("sfx.bmp", switch_button(false));
    out.picture("music.bmp", switch_button(true));

    BitmapFontStyle normal{Font::SansBold, 17, rgb(70, 44, 24), kFieldPaper, 0, 0};
    BitmapFontStyle highlight{Font::SansBold, 17, rgb(204, 64, 16), kFieldPaper, 0, 0};
    BitmapFontStyle hall_black{Font::SerifBold, 16, rgb(30, 24, 20), kFieldPaper, 0, 0};
    BitmapFontStyle hall_purple{Font::SerifBold, 16, rgb(112, 40, 150), kFieldStripe, 0, 0};
    BitmapFont n_font = make_bitmap_font(normal), h_font = make_bitmap_font(highlight);
    BitmapFont black = make_bitmap_font(hall_black), purple = make_bitmap_font(hall_purple);
    out.note(widths_line("n_font.bmp", n_font));
    out.note(widths_line("h_font.bmp", h_font));
    out.note(widths_line("HallBlackFont.bmp", black));
    out.note(widths_line("HallPurpleFont.bmp", purple));
    out.picture("n_font.bmp", n_font.image);
    out.picture("h_font.bmp", h_font.image);
    out.picture("HallBlackFont.bmp", black.image);
    out.picture("HallPurpleFont.bmp", purple.image);
    out.picture("blockcursor.bmp", block_cursor(n_font.image.height()));

    out.picture("HallOfFameScreen.bmp", hall_of_fame_screen());
    out.picture("UploadButton.bmp", button_strip(132, 50, "Upload", kTeal, 2, 19));
    out.picture("ClearScores.bmp", button_strip(132, 50, "Clear", kRed, 2, 19));
    out.picture("PlayerInfo.bmp", player_info_screen());
    out.picture("EnterButton.bmp", button_strip(108, 44, "Enter", kGreen, 2, 18));
    out.picture("RemoveButton.bmp", button_strip(108, 44, "Remove", kRed, 2, 17));
    out.picture("yesno.bmp", yes_no());

    out.picture("Title/TovikSplash.bmp", ludora_splash(false));
    out.picture("Title/TovikCredit.bmp", ludora_splash(true));
    out.sound("sounds/music.wav", make_shelf_tune());
    out.text("setup.ini", setup_ini());
}

} // namespace content
