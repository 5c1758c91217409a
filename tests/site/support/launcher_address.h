// The address the launcher opens in the browser for "upload", built here by
// the launcher's own rule so the tests do not borrow the site's reading of it.
#pragma once

#include <cstdint>
#include <string>

namespace sitetest {

constexpr uint32_t kScoreMask = 0x3C3C3C3;

// "game=%s&name=%s&score=%d" with the score combined with the mask, formatted
// into 256 characters, escaped into another 256 without cutting a "%xx", after
// the upload path: "/cgi-bin/hiscore.cgi?...".
std::string launcher_upload_target(const std::string& game, const std::string& name_field,
                                   int32_t score);

// The launcher's escape: these characters become "%" and two lower-case hex
// digits; everything else, "&", "=", ":" and bytes from 128 up included, is
// sent as it is.
std::string launcher_escape(const std::string& text);

} // namespace sitetest
