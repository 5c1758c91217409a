#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fuzz {

volatile unsigned g_sink = 0;

namespace {

std::string& Folder() {
    static std::string folder;
    return folder;
}

void RemoveFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
}

} // namespace

const std::string& ScratchFolder() {
    std::string& folder = Folder();
    if (folder.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "ludora-fuzz-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) {
            std::perror("fuzz: scratch folder");
            std::abort();
        }
        folder = pattern;
        std::atexit(RemoveFolder);
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
