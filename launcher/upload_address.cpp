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

} // namespace

void EscapeQuery(const char* query, char* escaped) {
    static const char hex[] = "0123456789abcdef";
    size_t out = 0;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(query ? query : ""); *c;
         ++c) {
        if (Escaped(*c)) {
            if (out + 3 > QuerySize - 1) {
                break;
            }
            escaped[out++] = '%';
            escaped[out++] = hex[*c >> 4];
            escaped[out++] = hex[*c & 0x0F];
        } else {
            if (out + 1 > QuerySize - 1) {
                break;
            }
            escaped[out++] = static_cast<char>(*c);
        }
    }
    escaped[out] = '\0';
}

void BuildUploadAddress(const char* site, const char* gameName, const char* nameField,
                        int32_t topScore, char* out, size_t outSize) {
    if (!out || outSize == 0) {
        return;
    }
    char query[QuerySize];
    const int32_t masked = static_cast<int32_t>(static_cast<uint32_t>(topScore) ^
                                                static_cast<uint32_t>(UploadScoreMask));
    FormatText(query, sizeof query, "game=%s&name=%s&score=%d", gameName ? gameName : "",
               nameField ? nameField : "", masked);
    char escaped[QuerySize];
    EscapeQuery(query, escaped);
    FormatText(out, outSize, "%s/cgi-bin/hiscore.cgi?%s", site ? site : "", escaped);
}
