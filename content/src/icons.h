// The programs' icons, drawn from the generated art as PNG files.
#pragma once

#include <string>

#include "output.h"

namespace content {

// Writes <folder>/ludora-<N>.png and <folder>/pearlwreck-<N>.png for N = 16, 32, 48, 64,
// 128 and 256, cut from pictures `out` has drawn.
bool write_icons(const Output& out, const std::string& folder);

} // namespace content
