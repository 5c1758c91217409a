// Every live surface, so a mode change by another program can take their memory.
#pragma once

#include <functional>

namespace ludora::video {

class Surface;

void register_surface(Surface* surface);
void unregister_surface(Surface* surface);
// Calls `f` for every live surface, oldest first. `f` must not create or destroy surfaces.
void for_each_surface(const std::function<void(Surface*)>& f);
// Marks every losable surface lost, as another program's mode change would.
void lose_all_surfaces();

} // namespace ludora::video
