// Writes a random player's input script to stdout, for the long soak run:
//   make_soak_script launcher|game SEED LAYER_MS [stay] [noright]
// "stay" leaves out what ends the program; "noright" the right button.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/support/random_player.h"

int main(int argc, char** argv) {
    if (argc < 4 || (std::strcmp(argv[1], "launcher") != 0 && std::strcmp(argv[1], "game") != 0)) {
        std::fprintf(stderr, "usage: %s launcher|game SEED LAYER_MS [stay] [noright]\n", argv[0]);
        return 2;
    }
    soak::Plan plan;
    plan.program =
        std::strcmp(argv[1], "game") == 0 ? soak::Program::Game : soak::Program::Launcher;
    plan.seed = std::strtoull(argv[2], nullptr, 10);
    plan.layerMilliseconds = std::strtoll(argv[3], nullptr, 10);
    for (int i = 4; i < argc; ++i) {
        if (std::strcmp(argv[i], "stay") == 0) plan.staysOpen = true;
        if (std::strcmp(argv[i], "noright") == 0) plan.usesRightButton = false;
    }
    const std::string script = soak::MakeScript(plan);
    std::fwrite(script.data(), 1, script.size(), stdout);
    return 0;
}
