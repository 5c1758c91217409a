// Lines of the layer's input scripts (LUDORA_SCRIPT); the launcher's screen
// places are in launcher_places.h.
#pragma once

#include <filesystem>
#include <string>

namespace testkit {

struct Point {
    int x, y;
};

// A click, then a wait (the layer's milliseconds).
std::string Click(int x, int y, int waitMilliseconds = 250);
std::string Click(Point place, int waitMilliseconds = 250);
// A click whose button stays down `holdMilliseconds` (long enough for a frame of
// a slow build to see it down).
std::string HeldClick(int x, int y, int holdMilliseconds);
std::string Wait(int milliseconds);
std::string Shot(const std::filesystem::path& path);

} // namespace testkit
