// Text placed into the site's HTML.
#pragma once

#include <string>
#include <string_view>

namespace ludora::site {

// Every text that came from a player goes through this before it is shown.
std::string html_escape(std::string_view text);

} // namespace ludora::site
