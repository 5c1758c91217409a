// Splitting an MCI command string into words.
#pragma once

#include "mmsystem.h"

#include <string>
#include <vector>

namespace ludora::mci {

// Words are separated by blanks; double quotes keep blanks inside a word.
// Returns 0 or the MCI error for a malformed string.
MCIERROR split_command(const char* command, std::vector<std::string>& words);

bool same_word(const std::string& a, const char* b);

} // namespace ludora::mci
