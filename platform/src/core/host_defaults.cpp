// Weak stand-ins for the seams of host.h; the real definitions replace them.
#include "core/host.h"

namespace ludora::host {

__attribute__((weak)) void present(HWND, const uint32_t*, int, int, int, bool) {}
__attribute__((weak)) int save_last_frame(const char*) { return 0; }
__attribute__((weak)) void lose_all_surfaces() {}

} // namespace ludora::host

#include "core/paths.h"

namespace ludora {

// Stand-in: separators only.
__attribute__((weak)) std::string host_path(const char* windows_path) {
    std::string path = windows_path ? windows_path : "";
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

} // namespace ludora
