// The layer's areas meet here: the table of services one area asks of another
// (core/host_services.h), filled from each area's own definitions. Naming the
// definitions themselves means a renamed or missing one fails the build rather
// than leaving a quiet stand-in behind.
#include "core/host_services.h"

#include "ddraw/surface_registry.h"
#include "gdi/canvas_dc.h"
#include "window/present.h"

#include <ludora/harness_host.h>

#include <atomic>
#include <deque>
#include <mutex>

namespace ludora::host {

namespace {

constexpr Services kLayerServices{
    .present = window::present_frame,
    .client_on_screen = window::client_on_screen,
    .lose_all_surfaces = video::lose_all_surfaces,
    .create_canvas_dc = gdi::create_canvas_dc,
    .delete_canvas_dc = gdi::delete_canvas_dc,
    .update_canvas_dc = gdi::update_canvas_dc,
};

constinit std::atomic<const Services*> g_in_force{&kLayerServices};

// Every table a test put in force, kept for the life of the process: another
// thread may still be reading one that has been replaced since. (A deque never
// moves what it holds.)
std::deque<Services>& replacements() {
    static std::deque<Services>* kept = new std::deque<Services>;
    return *kept;
}
std::mutex g_replacing;

// A test's own presentation sees every frame whole.
std::atomic<void (*)(HWND, const uint32_t*, int, int, int, int)> g_test_present{nullptr};

void present_to_test(HWND window, const uint32_t* xrgb, int width, int height, int pitch,
                     int fullscreen, int, int) {
    g_test_present.load()(window, xrgb, width, height, pitch, fullscreen);
}

} // namespace

const Services& services() {
    return *g_in_force.load(std::memory_order_acquire);
}

const Services& layer_services() {
    return kLayerServices;
}

void replace_services(const Services& replacement) {
    std::lock_guard lock(g_replacing);
    replacements().push_back(replacement);
    g_in_force.store(&replacements().back(), std::memory_order_release);
}

void restore_services() {
    g_in_force.store(&kLayerServices, std::memory_order_release);
}

} // namespace ludora::host

using ludora::host::layer_services;

extern "C" {

void LudoraGetHostServices(LudoraHostServices* out) {
    if (!out) return;
    const ludora::host::Services& own = layer_services();
    *out = LudoraHostServices{ludora::window::present_whole_frame, own.client_on_screen,
                              own.lose_all_surfaces};
}

void LudoraSetHostServices(const LudoraHostServices* replacement) {
    if (!replacement) {
        ludora::host::restore_services();
        return;
    }
    ludora::host::Services table = layer_services();
    {
        if (replacement->present) {
            ludora::host::g_test_present = replacement->present;
            table.present = ludora::host::present_to_test;
        }
        if (replacement->client_on_screen) table.client_on_screen = replacement->client_on_screen;
        if (replacement->lose_all_surfaces)
            table.lose_all_surfaces = replacement->lose_all_surfaces;
    }
    ludora::host::replace_services(table);
}

} // extern "C"
