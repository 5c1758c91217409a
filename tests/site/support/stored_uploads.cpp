// The site's SQLite file, read back.
#include "stored_uploads.h"

#include <fstream>
#include <sqlite3.h>
#include <sstream>

namespace sitetest {

namespace {

std::string column_text(sqlite3_stmt* statement, int column) {
    const auto* text = sqlite3_column_text(statement, column);
    return text ? reinterpret_cast<const char*>(text) : "";
}

std::string file_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

} // namespace

std::vector<StoredUpload> stored_uploads(const std::filesystem::path& database) {
    std::vector<StoredUpload> uploads;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return uploads;
    }
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* select = nullptr;
    if (sqlite3_prepare_v2(db,
                           "SELECT game, player, address, email, send, score FROM uploads "
                           "ORDER BY id",
                           -1, &select, nullptr) == SQLITE_OK) {
        while (sqlite3_step(select) == SQLITE_ROW) {
            uploads.push_back({column_text(select, 0), column_text(select, 1),
                               column_text(select, 2), column_text(select, 3),
                               column_text(select, 4),
                               static_cast<int32_t>(sqlite3_column_int64(select, 5))});
        }
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    return uploads;
}

std::string database_bytes(const std::filesystem::path& database) {
    return file_bytes(database) + file_bytes(database.string() + "-wal");
}

} // namespace sitetest
