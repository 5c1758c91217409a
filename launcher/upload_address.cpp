#include "launcher/upload_address.h"

#include <cstring>

#include "shell/core/copy_text.h"

namespace {

constexpr size_t QuerySize = 256;

bool Escaped(unsigned char c) {
    // "&" and "=" are not among them, so inside a value they pass as they
    // are and split it on the server; kept as designed.
    return c != 0 && std::strchr(" \"#%;<>?[\\]^{|}~", c) != nullptr;
}

// Escapes text onto escaped[out..], stopping before a character or an escape
// that would pass `limit` characters; answers the new length.
size_t AppendEscaped(char* escaped, size_t out, const char* text, size_t limit) {
    static const char hex[] = "0123456789abcdef";
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text ? text : ""); *c;
         ++c) {
        if (Escaped(*c)) {
            if (out + 3 > limit) {
                break;
            }
            escaped[out++] = '%';
            escaped[out++] = hex[*c >> 4];
            escaped[out++] = hex[*c & 0x0F];
        } else {
            if (out + 1 > limit) {
                break;
            }
            escaped[out++] = static_cast<char>(*c);
        }
    }
    escaped[out] = '\0';
    return out;
}

} // namespace

void EscapeQuery(const char* query, char* escaped) {
    AppendEscaped(escaped, 0, query, QuerySize - 1);
}

void BuildUploadAddress(const char* site, const char* gameName, const char* nameField,
                        int32_t topScore, char* out, size_t outSize) {
    if (!out || outSize == 0) {
        return;
    }
    const int32_t masked = static_cast<int32_t>(static_cast<uint32_t>(topScore) ^
                                                static_cast<uint32_t>(UploadScoreMask));
    char score[32];
    FormatText(score, sizeof score, "&score=%d", masked);
    // The score always goes; the name takes what room is left before it.
    const size_t nameEnd = QuerySize - 1 - std::strlen(score);
    char escaped[QuerySize];
    size_t length = AppendEscaped(escaped, 0, "game=", nameEnd);
    length = AppendEscaped(escaped, length, gameName, nameEnd - std::strlen("&name="));
    length = AppendEscaped(escaped, length, "&name=", nameEnd);
    length = AppendEscaped(escaped, length, nameField, nameEnd);
    AppendEscaped(escaped, length, score, QuerySize - 1);
    FormatText(out, outSize, "%s/cgi-bin/hiscore.cgi?%s", site ? site : "", escaped);
}
