// An INI file as lines, edited in place so that everything a change does not
// touch (comments, blank lines, lines before the first section, line endings,
// odd bytes) is written back exactly as it was read.
#pragma once

#include <string>
#include <vector>

namespace ludora::kernel {

class IniDocument {
public:
    explicit IniDocument(const std::string& bytes);
    std::string bytes() const;

    // Names and keys are matched without regard to case. The first section of
    // a name and the first entry of a key count; lines before the first section
    // belong to none, so the name "" matches only a "[]" header.
    std::vector<std::string> section_names() const;
    bool has_section(const std::string& section) const;
    std::vector<std::string> key_names(const std::string& section) const;
    // The section's lines as stored (keys, lines without "="), blanks and comments left out.
    std::vector<std::string> section_lines(const std::string& section) const;
    bool find_value(const std::string& section, const std::string& key, std::string& value) const;

    // Each returns true when the document changed.
    bool set_value(const std::string& section, const std::string& key, const std::string& value);
    bool delete_key(const std::string& section, const std::string& key);
    bool delete_section(const std::string& section);

private:
    struct Line {
        std::string text;
        std::string ending; // "\r\n", "\r", "\n" or "" for a last line without one
    };
    struct Entry {
        std::string key;
        std::string value;
    };
    static bool header_name(const std::string& text, std::string& name);
    static bool entry(const std::string& text, Entry& parsed);

    size_t find_section(const std::string& section) const; // header index or npos
    size_t section_end(size_t header) const;               // index of the next header or size
    size_t find_key(size_t header, const std::string& key) const;
    void insert_line(size_t index, const std::string& text);

    std::vector<Line> lines_;
};

} // namespace ludora::kernel
