// The address that sends a game's top score to the maker's score page.
#pragma once

#include <cstddef>
#include <cstdint>

// The top score travels combined with this mask.
constexpr int32_t UploadScoreMask = 0x3C3C3C3;

// Copies query into escaped (256 bytes), writing space, the double quote,
// "#", "%", ";", "<", ">", "?", "[", "\\", "]", "^", "{", "|", "}" and "~"
// as "%" and two lower-case hex digits. Cut at 255 characters, and never in
// the middle of an escape.
void EscapeQuery(const char* query, char* escaped);

// site + "/cgi-bin/hiscore.cgi?" + the escaped "game=%s&name=%s&score=%d";
// the name field is the whole composed record. The escaped query stays within
// 255 characters by cutting the name value (never inside an escape), so
// "&score=" and the score always end it. out is cut at outSize - 1.
void BuildUploadAddress(const char* site, const char* gameName, const char* nameField,
                        int32_t topScore, char* out, size_t outSize);
