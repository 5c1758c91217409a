#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "tests/support/temp_folder.h"

namespace fuzz {

volatile unsigned g_sink = 0;

const std::string& ScratchFolder() {
    static std::unique_ptr<testkit::WorkingFolder> scratch; // removed at a normal exit
    static std::string folder;
    if (folder.empty()) {
        scratch = std::make_unique<testkit::WorkingFolder>("ludora-fuzz");
        std::error_code error;
        if (!scratch->Made() || std::filesystem::current_path(error) != scratch->path) {
            std::perror("fuzz: scratch folder");
            std::abort();
        }
        folder = scratch->path.string();
    }
    return folder;
}

std::string WriteInput(const char* name, const uint8_t* data, size_t size) {
    ScratchFolder();
    FILE* file = std::fopen(name, "wb");
    if (file == nullptr) {
        std::perror("fuzz: input file");
        std::abort();
    }
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
    return name;
}

} // namespace fuzz
