// Text typed by a player, as the launcher sends it.
#include "player_text.h"

#include <cstdint>

namespace ludora::site {

namespace {

// Windows-1252 between 0x80 and 0x9F; its five unassigned bytes become U+FFFD.
constexpr char32_t kWindows1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

void append_utf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool is_format_character(char32_t code) {
    return code == 0x061C || (code >= 0x200B && code <= 0x200F) ||
           (code >= 0x202A && code <= 0x202E) || (code >= 0x2060 && code <= 0x2064) ||
           (code >= 0x2066 && code <= 0x2069) || code == 0xFEFF;
}

// The blocks of combining marks that pile up over Latin, Greek and Cyrillic.
bool is_combining_mark(char32_t code) {
    return (code >= 0x0300 && code <= 0x036F) || (code >= 0x0483 && code <= 0x0489) ||
           (code >= 0x1AB0 && code <= 0x1AFF) || (code >= 0x1DC0 && code <= 0x1DFF) ||
           (code >= 0x20D0 && code <= 0x20FF) || (code >= 0xFE20 && code <= 0xFE2F);
}

} // namespace

std::string tidy_player_text(std::string_view utf8) {
    std::string out;
    int marks = 0;
    size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<uint8_t>(utf8[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
            code = (code << 6) | (static_cast<uint8_t>(utf8[i + k]) & 0x3F);
        const bool mark = is_combining_mark(code);
        marks = mark ? marks + 1 : 0;
        if (!is_format_character(code) && (!mark || marks <= kMostCombiningMarks))
            out += utf8.substr(i, length);
        i += length;
    }
    return out;
}

bool is_valid_utf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<uint8_t>(bytes[i]);
        size_t length = 0;
        char32_t code = 0;
        char32_t lowest = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, code = lead & 0x1F, lowest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, code = lead & 0x0F, lowest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, code = lead & 0x07, lowest = 0x10000;
        } else {
            return false;
        }
        if (i + length > bytes.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<uint8_t>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and code points past Unicode are not UTF-8.
        if (code < lowest || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
        i += length;
    }
    return true;
}

std::string player_text_as_utf8(std::string_view bytes) {
    if (is_valid_utf8(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte < 0x80)
            out += c;
        else if (byte < 0xA0)
            append_utf8(out, kWindows1252High[byte - 0x80]);
        else
            append_utf8(out, byte); // the rest of the page is Latin-1
    }
    return out;
}

bool holds_control_character(std::string_view utf8) {
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<uint8_t>(utf8[i]);
        if (byte < 0x20 || byte == 0x7F) return true;
        if (byte == 0xC2 && i + 1 < utf8.size()) {
            const auto next = static_cast<uint8_t>(utf8[i + 1]);
            if (next >= 0x80 && next <= 0x9F) return true;
        }
    }
    return false;
}

} // namespace ludora::site
