// Where the generator writes: the staged launcher folder, with a record of every picture for
// the contact sheet and a manifest of what the tests need to know about the fonts.
#pragma once

#include <string>
#include <vector>

#include "audio.h"
#include "image.h"

namespace content {

class Output {
public:
    explicit Output(std::string root) : root_(std::move(root)) {}

    // Paths are relative to the launcher folder, with "/" between folders.
    void picture(const std::string& path, Image image);
    void sound(const std::string& path, const Sound& sound);
    void text(const std::string& path, const std::string& contents);
    void bytes(const std::string& path, const std::vector<char>& data);
    void note(const std::string& line) { manifest_.push_back(line); }

    const std::string& root() const { return root_; }
    bool ok() const { return ok_; }
    struct Entry {
        std::string path;
        Image image;
    };
    const std::vector<Entry>& pictures() const { return pictures_; }
    const std::vector<std::string>& manifest() const { return manifest_; }

private:
    std::string full(const std::string& path);

    std::string root_;
    bool ok_ = true;
    std::vector<Entry> pictures_;
    std::vector<std::string> manifest_;
};

void make_pearlwreck_content(Output& out);
void make_ludora_content(Output& out);
Image contact_sheet(const std::vector<Output::Entry>& pictures);

} // namespace content
