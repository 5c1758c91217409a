#include "window/frame_log.h"

#include "core/settings.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <ctime>
#include <string>
#include <unistd.h>

namespace ludora::window {

namespace {

double boot_clock_ms() {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The process's start on the same clock, from /proc/self/stat (field 22, in
// clock ticks since boot); negative when it cannot be read.
double process_start_ms() {
    FILE* stat = std::fopen("/proc/self/stat", "r");
    if (!stat) return -1.0;
    char text[1024] = {};
    const size_t length = std::fread(text, 1, sizeof text - 1, stat);
    std::fclose(stat);
    text[length] = '\0';
    // The command name may hold spaces and brackets: fields count from the last ')'.
    const std::string line(text);
    const size_t close = line.rfind(')');
    if (close == std::string::npos) return -1.0;
    unsigned long long start_ticks = 0;
    int field = 2;
    for (size_t at = close + 1; at < line.size() && field < 22;) {
        while (at < line.size() && line[at] == ' ')
            ++at;
        ++field;
        if (field == 22) {
            start_ticks = std::strtoull(line.c_str() + at, nullptr, 10);
            break;
        }
        while (at < line.size() && line[at] != ' ')
            ++at;
    }
    const long ticks_per_second = sysconf(_SC_CLK_TCK);
    if (field != 22 || ticks_per_second <= 0) return -1.0;
    return static_cast<double>(start_ticks) * 1000.0 / static_cast<double>(ticks_per_second);
}

bool blank(const uint32_t* xrgb, int width, int height, int pitch) {
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = xrgb + static_cast<size_t>(y) * pitch;
        for (int x = 0; x < width; ++x) {
            if ((row[x] & 0xFFFFFFu) != (xrgb[0] & 0xFFFFFFu)) return false;
        }
    }
    return true;
}

} // namespace

uint32_t frame_hash(const uint32_t* xrgb, int width, int height, int pitch) {
    uint32_t hash = 2166136261u;
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = xrgb + static_cast<size_t>(y) * pitch;
        for (int x = 0; x < width; ++x) {
            hash = (hash ^ (row[x] & 0xFFFFFFu)) * 16777619u;
        }
    }
    return hash;
}

void log_frame(const uint32_t* xrgb, int width, int height, int pitch) {
    static std::atomic<bool> finished{false};
    static std::mutex mutex;
    static int logged = 0;
    static FILE* log = nullptr;
    if (finished.load(std::memory_order_acquire)) return;
    std::lock_guard lock(mutex);
    if (logged >= kLoggedFrames) {
        finished.store(true, std::memory_order_release);
        return;
    }
    if (logged == 0) {
        const std::string path = settings::frame_log();
        if (path.empty()) {
            logged = kLoggedFrames; // not asked for: never look again
            return;
        }
        log = std::fopen(path.c_str(), "w");
        if (!log) {
            logged = kLoggedFrames;
            return;
        }
        std::fprintf(log, "start %.3f\n", process_start_ms());
    }
    const double now = boot_clock_ms();
    ++logged;
    std::fprintf(log, "frame %d %.3f %08x%s\n", logged, now, frame_hash(xrgb, width, height, pitch),
                 blank(xrgb, width, height, pitch) ? " blank" : "");
    std::fflush(log);
    if (logged == kLoggedFrames) {
        std::fclose(log);
        log = nullptr;
    }
}

} // namespace ludora::window
