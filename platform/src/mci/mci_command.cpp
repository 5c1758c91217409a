#include "mci/mci_command.h"

#include <strings.h>

namespace ludora::mci {

MCIERROR split_command(const char* command, std::vector<std::string>& words) {
    words.clear();
    const char* p = command;
    while (*p != '\0') {
        while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')
            ++p;
        if (*p == '\0') break;
        std::string word;
        if (*p == '"') {
            ++p;
            while (*p != '\0' && *p != '"')
                word += *p++;
            if (*p != '"') return MCIERR_NO_CLOSING_QUOTE;
            ++p;
            if (*p != '\0' && *p != ' ' && *p != '\t') return MCIERR_EXTRA_CHARACTERS;
        } else {
            while (*p != '\0' && *p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
                word += *p++;
        }
        words.push_back(std::move(word));
    }
    return 0;
}

bool same_word(const std::string& a, const char* b) {
    return strcasecmp(a.c_str(), b) == 0;
}

} // namespace ludora::mci
