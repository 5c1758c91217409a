// "%xx" escapes back to bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ludora::site {

// Every "%" must be followed by two hexadecimal digits (either case); any other
// character, "+" included, stands for itself. Nothing on a broken escape.
std::optional<std::string> percent_decode(std::string_view text);

} // namespace ludora::site
