// The site's SQLite file, read back the way its maker would.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace sitetest {

struct StoredUpload {
    std::string game;
    std::string player;
    std::string address;
    std::string email;
    std::string send;
    int32_t score = 0;

    bool operator==(const StoredUpload&) const = default;
};

// Every stored upload in the order they came; empty when the file has none.
std::vector<StoredUpload> stored_uploads(const std::filesystem::path& database);

// Every byte of the database and its WAL file, to look for text that must
// never have been written.
std::string database_bytes(const std::filesystem::path& database);

} // namespace sitetest
