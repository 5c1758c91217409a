#include "tests/support/input_script.h"

namespace testkit {

std::string Click(int x, int y, int waitMilliseconds) {
    return "click " + std::to_string(x) + " " + std::to_string(y) + "\n" + Wait(waitMilliseconds);
}

std::string Click(Point place, int waitMilliseconds) {
    return Click(place.x, place.y, waitMilliseconds);
}

std::string Wait(int milliseconds) {
    return "wait " + std::to_string(milliseconds) + "\n";
}

std::string Shot(const std::filesystem::path& path) {
    return "shot " + path.string() + "\n";
}

Point SlotCentre(int slot) {
    const int xs[3] = {14, 271, 528};
    const int ys[4] = {140, 247, 355, 461};
    return {xs[(slot - 1) % 3] + 125, ys[(slot - 1) / 3] + 50};
}

Point PlayerField(int slot) {
    // The first field stands one pixel right of the others of its column.
    constexpr int xs[8] = {239, 408, 238, 408, 238, 408, 238, 408};
    constexpr int ys[8] = {378, 378, 420, 420, 464, 464, 510, 510};
    return {xs[slot] + 60, ys[slot] + 15};
}

} // namespace testkit
