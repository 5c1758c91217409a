#include "ddraw/surface_registry.h"

#include "ddraw/surface.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace ludora::video {

namespace {

std::recursive_mutex& registry_mutex() {
    static std::recursive_mutex m;
    return m;
}

std::vector<Surface*>& registry() {
    static std::vector<Surface*> surfaces;
    return surfaces;
}

} // namespace

void register_surface(Surface* surface) {
    std::lock_guard lock(registry_mutex());
    registry().push_back(surface);
}

void unregister_surface(Surface* surface) {
    std::lock_guard lock(registry_mutex());
    auto& all = registry();
    all.erase(std::remove(all.begin(), all.end(), surface), all.end());
}

void for_each_surface(const std::function<void(Surface*)>& f) {
    std::lock_guard lock(registry_mutex());
    for (Surface* s : registry())
        f(s);
}

} // namespace ludora::video
