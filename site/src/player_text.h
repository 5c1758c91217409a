// Text typed by a player, as the launcher sends it: UTF-8 when it is valid
// UTF-8, otherwise the Windows code page the launcher was written for.
#pragma once

#include <string>
#include <string_view>

namespace ludora::site {

bool is_valid_utf8(std::string_view bytes);

// Valid UTF-8 stays as it is; anything else is read as Windows-1252.
std::string player_text_as_utf8(std::string_view bytes);

// Control characters: C0, DEL, and C1 written in UTF-8.
bool holds_control_character(std::string_view utf8);

} // namespace ludora::site
