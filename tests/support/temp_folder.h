// A fresh folder under the system's temporary folder for one test, removed
// with everything in it afterwards (kept when LUDORA_KEEP_TEST_FOLDER is set).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testkit {

namespace fs = std::filesystem;

class TempFolder {
public:
    // Made in `parent`, the system's temporary folder when empty.
    explicit TempFolder(const std::string& prefix = "ludora-test", const fs::path& parent = {});
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool Made() const { return !path.empty(); }
    // A name inside the folder.
    fs::path operator/(const std::string& name) const { return path / name; }
    std::string File(const std::string& name) const { return (path / name).string(); }
    // A file of the folder written or read whole.
    bool Write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    bool WriteText(const std::string& name, const std::string& text) const;
    std::vector<uint8_t> Read(const std::string& name) const;

    fs::path path; // empty when the folder could not be made
};

// A fresh folder that is the current directory while it lives: the previous
// one comes back before the folder is removed.
class WorkingFolder : public TempFolder {
public:
    explicit WorkingFolder(const std::string& prefix = "ludora-test");
    ~WorkingFolder();

private:
    fs::path previous;
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
