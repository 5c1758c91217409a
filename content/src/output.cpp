#include "output.h"

#include <cstdio>
#include <filesystem>

namespace content {

std::string Output::full(const std::string& path) {
    std::filesystem::path p = std::filesystem::path(root_) / path;
    std::error_code ec;
    std::filesystem::create_directories(p.parent_path(), ec);
    if (ec) ok_ = false;
    return p.string();
}

void Output::picture(const std::string& path, Image image) {
    image.protect_key();
    if (!image.write_bmp(full(path))) {
        std::fprintf(stderr, "content: cannot write %s\n", path.c_str());
        ok_ = false;
    }
    pictures_.push_back({path, std::move(image)});
}

void Output::sound(const std::string& path, const Sound& sound) {
    if (!write_wav(full(path), sound)) {
        std::fprintf(stderr, "content: cannot write %s\n", path.c_str());
        ok_ = false;
    }
}

void Output::text(const std::string& path, const std::string& contents) {
    bytes(path, std::vector<char>(contents.begin(), contents.end()));
}

void Output::bytes(const std::string& path, const std::vector<char>& data) {
    FILE* f = std::fopen(full(path).c_str(), "wb");
    bool written = f && std::fwrite(data.data(), 1, data.size(), f) == data.size();
    if (f && std::fclose(f) != 0) written = false;
    if (!written) {
        std::fprintf(stderr, "content: cannot write %s\n", path.c_str());
        ok_ = false;
    }
}

} // namespace content
