#include "tests/support/input_script.h"

namespace testkit {

std::string Click(int x, int y, int waitMilliseconds) {
    return "click " + std::to_string(x) + " " + std::to_string(y) + "\n" + Wait(waitMilliseconds);
}

std::string Click(Point place, int waitMilliseconds) {
    return Click(place.x, place.y, waitMilliseconds);
}

std::string HeldClick(int x, int y, int holdMilliseconds) {
    return "click " + std::to_string(x) + " " + std::to_string(y) + " left " +
           std::to_string(holdMilliseconds) + "\n";
}

std::string Wait(int milliseconds) {
    return "wait " + std::to_string(milliseconds) + "\n";
}

std::string Shot(const std::filesystem::path& path) {
    return "shot " + path.string() + "\n";
}

} // namespace testkit
