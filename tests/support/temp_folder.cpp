#include "tests/support/temp_folder.h"

#include <cstdlib>

#include "tests/support/files.h"

namespace testkit {

TempFolder::TempFolder(const std::string& prefix, const fs::path& parent) {
    std::error_code error;
    const fs::path where = parent.empty() ? fs::temp_directory_path(error) : parent;
    std::string pattern = (where / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) != nullptr) path = pattern;
}

TempFolder::~TempFolder() {
    if (path.empty() || std::getenv("LUDORA_KEEP_TEST_FOLDER") != nullptr) return;
    std::error_code ignored;
    // A test may have taken rights away from the folder or files in it.
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto it = fs::recursive_directory_iterator(path, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(path, ignored);
}

bool TempFolder::Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    return WriteBytes(path / name, bytes);
}

bool TempFolder::WriteText(const std::string& name, const std::string& text) const {
    return testkit::WriteText(path / name, text);
}

std::vector<uint8_t> TempFolder::Read(const std::string& name) const {
    return ReadBytes(path / name);
}

WorkingFolder::WorkingFolder(const std::string& prefix) : TempFolder(prefix) {
    std::error_code ignored;
    previous = fs::current_path(ignored);
    if (Made()) fs::current_path(path, ignored);
}

WorkingFolder::~WorkingFolder() {
    std::error_code ignored;
    fs::current_path(previous, ignored);
}

CurrentFolder::CurrentFolder(const fs::path& folder) {
    std::error_code ignored;
    previous = fs::current_path(ignored);
    fs::current_path(folder, ignored);
}

CurrentFolder::~CurrentFolder() {
    std::error_code ignored;
    fs::current_path(previous, ignored);
}

} // namespace testkit
