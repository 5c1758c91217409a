// Text typed by a player, as the launcher sends it: UTF-8 when it is valid
// UTF-8, otherwise the Windows code page the launcher was written for.
#pragma once

#include <string>
#include <string_view>

namespace ludora::site {

bool is_valid_utf8(std::string_view bytes);

// Valid UTF-8 stays as it is; anything else is read as Windows-1252.
std::string player_text_as_utf8(std::string_view bytes);

constexpr int kMostCombiningMarks = 3; // on one character; enough for stacked accents

// Keeps a name in its cell: drops the invisible format characters that turn
// text around or hide it (U+061C, U+200B-U+200F, U+202A-U+202E, U+2060-U+2064,
// U+2066-U+2069, U+FEFF) and the combining marks past the third on one
// character. utf8 must be valid UTF-8.
std::string tidy_player_text(std::string_view utf8);

// Control characters: C0, DEL, and C1 written in UTF-8.
bool holds_control_character(std::string_view utf8);

} // namespace ludora::site
