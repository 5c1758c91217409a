// The one style sheet every page links, served as /style.css.
#pragma once

#include <string_view>

namespace ludora::site {

std::string_view style_sheet();

} // namespace ludora::site
