// What a reader takes from the site's answers.
#include "answer_reading.h"

#include <regex>

namespace sitetest {

namespace {

void append_utf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string json_unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        const char kind = text[++i];
        if (kind == 'u' && i + 4 < text.size()) {
            append_utf8(out, static_cast<unsigned>(std::stoul(text.substr(i + 1, 4), nullptr, 16)));
            i += 4;
        } else if (kind == 'n') {
            out += '\n';
        } else if (kind == 't') {
            out += '\t';
        } else {
            out += kind;
        }
    }
    return out;
}

} // namespace

std::string visible_text(const std::string& html) {
    std::string text;
    bool in_tag = false;
    for (const char c : html) {
        if (c == '<') {
            in_tag = true;
            text += ' ';
        } else if (c == '>' && in_tag) {
            in_tag = false;
        } else if (!in_tag) {
            text += c;
        }
    }
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, character] : entities) {
        for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::char_traits<char>::length(entity), character);
    }
    std::string collapsed;
    for (const char c : text) {
        const bool space = c == ' ' || c == '\n' || c == '\t' || c == '\r';
        if (space && (collapsed.empty() || collapsed.back() == ' ')) continue;
        collapsed += space ? ' ' : c;
    }
    while (!collapsed.empty() && collapsed.back() == ' ')
        collapsed.pop_back();
    return collapsed;
}

std::vector<ApiRow> api_rows(const std::string& json) {
    static const std::regex kRow(
        R"re(\{"rank":(\d+),"name":"((?:[^"\\]|\\.)*)","score":(-?\d+),"uploaded":"([^"]*)"\})re");
    std::vector<ApiRow> rows;
    for (auto it = std::sregex_iterator(json.begin(), json.end(), kRow);
         it != std::sregex_iterator(); ++it) {
        ApiRow row;
        row.rank = std::stoi((*it)[1]);
        row.name = json_unescape((*it)[2]);
        row.score = static_cast<int32_t>(std::stol((*it)[3]));
        row.uploaded = (*it)[4];
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace sitetest
