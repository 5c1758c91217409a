#include "kernel/ini_document.h"

#include "kernel/windows_path.h"

namespace ludora::kernel {

namespace {

const char* const kNewline = "\r\n";

// Blanks, and the stray NUL bytes some editors leave at the end of a file.
const std::string kBlanks(" \t\0", 3);

std::string trim(const std::string& text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

} // namespace

IniDocument::IniDocument(const std::string& bytes) {
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines_.push_back({bytes.substr(start), ""});
            break;
        }
        const size_t ending_size =
            (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1;
        lines_.push_back({bytes.substr(start, end - start), bytes.substr(end, ending_size)});
        start = end + ending_size;
    }
}

std::string IniDocument::bytes() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.text;
        out += line.ending;
    }
    return out;
}

bool IniDocument::header_name(const std::string& text, std::string& name) {
    const std::string trimmed = trim(text);
    if (trimmed.empty() || trimmed[0] != '[') return false;
    const size_t close = trimmed.find(']');
    name = trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

bool IniDocument::entry(const std::string& text, Entry& parsed) {
    const std::string trimmed = trim(text);
    if (trimmed.empty() || trimmed[0] == ';') return false;
    const size_t equals = trimmed.find('=');
    if (equals == std::string::npos) return false;
    parsed.key = trim(trimmed.substr(0, equals));
    std::string value = trim(trimmed.substr(equals + 1));
    // One pair of matching quotes around the whole value is not part of it.
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
        value = value.substr(1, value.size() - 2);
    }
    parsed.value = value;
    return true;
}

size_t IniDocument::find_section(const std::string& section) const {
    std::string name;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (header_name(lines_[i].text, name) && equal_no_case(name, section)) return i;
    }
    return std::string::npos;
}

size_t IniDocument::section_end(size_t header) const {
    std::string name;
    for (size_t i = header + 1; i < lines_.size(); ++i) {
        if (header_name(lines_[i].text, name)) return i;
    }
    return lines_.size();
}

size_t IniDocument::find_key(size_t header, const std::string& key) const {
    const size_t end = section_end(header);
    Entry parsed;
    for (size_t i = header + 1; i < end; ++i) {
        if (entry(lines_[i].text, parsed) && equal_no_case(parsed.key, key)) return i;
    }
    return std::string::npos;
}

std::vector<std::string> IniDocument::section_names() const {
    std::vector<std::string> names;
    std::string name;
    for (const Line& line : lines_) {
        if (!header_name(line.text, name) || name.empty()) continue;
        bool seen = false;
        for (const std::string& earlier : names)
            seen = seen || equal_no_case(earlier, name);
        if (!seen) names.push_back(name);
    }
    return names;
}

bool IniDocument::has_section(const std::string& section) const {
    return find_section(section) != std::string::npos;
}

std::vector<std::string> IniDocument::key_names(const std::string& section) const {
    std::vector<std::string> keys;
    const size_t header = find_section(section);
    if (header == std::string::npos) return keys;
    const size_t end = section_end(header);
    Entry parsed;
    for (size_t i = header + 1; i < end; ++i) {
        if (entry(lines_[i].text, parsed)) keys.push_back(parsed.key);
    }
    return keys;
}

std::vector<std::string> IniDocument::section_lines(const std::string& section) const {
    std::vector<std::string> result;
    const size_t header = find_section(section);
    if (header == std::string::npos) return result;
    const size_t end = section_end(header);
    for (size_t i = header + 1; i < end; ++i) {
        const std::string trimmed = trim(lines_[i].text);
        if (!trimmed.empty() && trimmed[0] != ';') result.push_back(trimmed);
    }
    return result;
}

bool IniDocument::find_value(const std::string& section, const std::string& key,
                             std::string& value) const {
    const size_t header = find_section(section);
    if (header == std::string::npos) return false;
    const size_t line = find_key(header, key);
    if (line == std::string::npos) return false;
    Entry parsed;
    entry(lines_[line].text, parsed);
    value = parsed.value;
    return true;
}

void IniDocument::insert_line(size_t index, const std::string& text) {
    // The line before a new one must end, even if the file's last line did not.
    if (index > 0 && lines_[index - 1].ending.empty()) lines_[index - 1].ending = kNewline;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), Line{text, kNewline});
}

bool IniDocument::set_value(const std::string& section, const std::string& key,
                            const std::string& value) {
    size_t header = find_section(section);
    if (header == std::string::npos) {
        insert_line(lines_.size(), "[" + section + "]");
        insert_line(lines_.size(), key + "=" + value);
        return true;
    }
    const size_t line = find_key(header, key);
    if (line != std::string::npos) {
        Entry parsed;
        entry(lines_[line].text, parsed);
        const std::string text = parsed.key + "=" + value;
        if (lines_[line].text == text) return false;
        lines_[line].text = text;
        return true;
    }
    // After the section's last non-blank line, so blank lines between sections stay put.
    size_t after = header;
    const size_t end = section_end(header);
    for (size_t i = header + 1; i < end; ++i) {
        if (!trim(lines_[i].text).empty()) after = i;
    }
    insert_line(after + 1, key + "=" + value);
    return true;
}

bool IniDocument::delete_key(const std::string& section, const std::string& key) {
    const size_t header = find_section(section);
    if (header == std::string::npos) return false;
    const size_t line = find_key(header, key);
    if (line == std::string::npos) return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(line));
    return true;
}

bool IniDocument::delete_section(const std::string& section) {
    const size_t header = find_section(section);
    if (header == std::string::npos) return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(section_end(header)));
    return true;
}

} // namespace ludora::kernel
