// The address the launcher opens in the browser for "upload".
#include "launcher_address.h"

#include <cstdio>
#include <string_view>

namespace sitetest {

namespace {

constexpr size_t kBuffer = 256;

bool escaped_by_launcher(char c) {
    return std::string_view(" \"#%;<>?[\\]^{|}~").find(c) != std::string_view::npos;
}

std::string escape_one(char c) {
    if (!escaped_by_launcher(c)) return std::string(1, c);
    char piece[4];
    std::snprintf(piece, sizeof piece, "%%%02x", static_cast<unsigned char>(c));
    return piece;
}

} // namespace

std::string launcher_escape(const std::string& text) {
    std::string out;
    for (const char c : text)
        out += escape_one(c);
    return out;
}

std::string launcher_upload_target(const std::string& game, const std::string& name_field,
                                   int32_t score) {
    char formatted[kBuffer];
    const auto sent = static_cast<int32_t>(static_cast<uint32_t>(score) ^ kScoreMask);
    std::snprintf(formatted, sizeof formatted, "game=%s&name=%s&score=%d", game.c_str(),
                  name_field.c_str(), sent);
    std::string escaped;
    for (const char* c = formatted; *c; ++c) {
        const std::string piece = escape_one(*c);
        if (escaped.size() + piece.size() > kBuffer - 1) break;
        escaped += piece;
    }
    return "/cgi-bin/hiscore.cgi?" + escaped;
}

} // namespace sitetest
