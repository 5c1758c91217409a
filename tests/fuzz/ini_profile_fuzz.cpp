// Private-profile files: every section and key of a damaged file listed and
// read (with roomy and tiny buffers), then keys written and deleted. A write
// must read back, and must not change what another section holds.
#include "fuzz_support.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const kFile = ".\\input.ini";
const char* const kOurSection = "ludora fuzz";

// The strings of a double-NUL-terminated list, at most `limit` of them.
std::vector<std::string> Split(const char* list, DWORD length, size_t limit) {
    std::vector<std::string> out;
    for (DWORD at = 0; at < length && list[at] != 0 && out.size() < limit;) {
        out.emplace_back(list + at);
        at += static_cast<DWORD>(out.back().size()) + 1;
    }
    return out;
}

std::string Value(const char* section, const char* key) {
    char buffer[512];
    const DWORD length =
        GetPrivateProfileStringA(section, key, "(none)", buffer, sizeof buffer, kFile);
    if (length >= sizeof buffer || buffer[length] != 0) __builtin_trap();
    return std::string(buffer, length);
}

// Every reading call, with buffers from one byte up; the answers must stay
// inside the buffer and be terminated there.
void ReadEverything(std::vector<std::string>& sections, std::vector<std::string>& firstKeys) {
    char list[4096];
    DWORD length = GetPrivateProfileSectionNamesA(list, sizeof list, kFile);
    if (length >= sizeof list) __builtin_trap();
    sections = Split(list, length, 6);
    for (DWORD size : {1u, 2u, 5u}) {
        char tiny[8];
        std::memset(tiny, 0x7E, sizeof tiny);
        if (GetPrivateProfileSectionNamesA(tiny, size, kFile) >= size) __builtin_trap();
        if (tiny[size] != 0x7E) __builtin_trap();
    }
    for (size_t s = 0; s < sections.size(); ++s) {
        const char* section = sections[s].c_str();
        char contents[4096];
        if (GetPrivateProfileSectionA(section, contents, sizeof contents, kFile) >= sizeof contents)
            __builtin_trap();
        length = GetPrivateProfileStringA(section, nullptr, "", list, sizeof list, kFile);
        if (length >= sizeof list) __builtin_trap();
        const std::vector<std::string> keys = Split(list, length, 6);
        if (s == 0) firstKeys = keys;
        for (const std::string& key : keys) {
            Value(section, key.c_str());
            GetPrivateProfileIntA(section, key.c_str(), -5, kFile);
            char tiny[8];
            std::memset(tiny, 0x7E, sizeof tiny);
            GetPrivateProfileStringA(section, key.c_str(), "default", tiny, 3, kFile);
            if (tiny[3] != 0x7E) __builtin_trap();
        }
    }
}

bool SameName(const std::string& a, const char* b) {
    return a.size() == std::strlen(b) && lstrcmpiA(a.c_str(), b) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput("input.ini", data, size);
    std::vector<std::string> sections, firstKeys;
    ReadEverything(sections, firstKeys);

    // What the first section holds before we write elsewhere.
    std::vector<std::string> before;
    const bool watchFirst = !sections.empty() && !SameName(sections[0], kOurSection);
    if (watchFirst)
        for (const std::string& key : firstKeys)
            before.push_back(Value(sections[0].c_str(), key.c_str()));

    if (WritePrivateProfileStringA(kOurSection, "key", "value", kFile)) {
        if (Value(kOurSection, "key") != "value") __builtin_trap();
        if (watchFirst)
            for (size_t i = 0; i < firstKeys.size(); ++i)
                if (Value(sections[0].c_str(), firstKeys[i].c_str()) != before[i]) __builtin_trap();
        WritePrivateProfileStringA(kOurSection, "key", nullptr, kFile);
        if (Value(kOurSection, "key") != "(none)") __builtin_trap();
    }
    // Keys and sections named by the file itself, changed and deleted.
    if (!sections.empty()) {
        const char* section = sections[0].c_str();
        if (!firstKeys.empty()) {
            WritePrivateProfileStringA(section, firstKeys[0].c_str(), "changed", kFile);
            WritePrivateProfileStringA(section, firstKeys.back().c_str(), nullptr, kFile);
        }
        WritePrivateProfileStringA(sections.back().c_str(), nullptr, nullptr, kFile);
    }
    ReadEverything(sections, firstKeys);
    return 0;
}
