// A fresh folder under the system's temporary folder for one test, removed
// with everything in it afterwards (kept when LUDORA_KEEP_TEST_FOLDER is set).
#pragma once

#include <filesystem>
#include <string>

namespace testkit {

namespace fs = std::filesystem;

class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "ludora-test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool Made() const { return !path.empty(); }
    // A name inside the folder.
    fs::path operator/(const std::string& name) const { return path / name; }
    std::string File(const std::string& name) const { return (path / name).string(); }

    fs::path path; // empty when the folder could not be made
};

// Makes `folder` the current directory while it lives, and puts the old one back.
class CurrentFolder {
public:
    explicit CurrentFolder(const fs::path& folder);
    ~CurrentFolder();
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    fs::path previous;
};

} // namespace testkit
