// A test with its own running site: a scratch folder, a database of its own
// (SQLite in the folder, or PostgreSQL), and the launcher's upload at hand.
#pragma once

#include "answer_reading.h"
#include "http_exchange.h"
#include "launcher_address.h"
#include "site_process.h"
#include "stored_uploads.h"
#include "test_database.h"

#include <gtest/gtest.h>

namespace sitetest {

class SiteTest : public ::testing::Test {
protected:
    // Each test starts the site itself when it needs other arguments.
    void SetUp() override { ASSERT_TRUE(start_site()) << site.log(); }
    void TearDown() override { site.kill(); }

    bool start_site(const std::vector<std::string>& extra = {}) {
        // Tests upload games of their own beyond the suite's.
        std::vector<std::string> arguments = {"--db", db.argument(), "--games", "any"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return site.start(arguments);
    }

    // The --db argument: a file's path, or a PostgreSQL address.
    std::filesystem::path database() const { return db.argument(); }

    HttpAnswer get(const std::string& target) { return http_get(site.port(), target); }

    // What the launcher's "upload" opens for this game, name field and score.
    HttpAnswer upload(const std::string& game, const std::string& name_field, int32_t score) {
        return get(launcher_upload_target(game, name_field, score));
    }

    std::vector<ApiRow> scores_of(const std::string& game) {
        const HttpAnswer answer = get("/api/scores?game=" + launcher_escape(game));
        EXPECT_EQ(200, answer.status) << answer.body;
        return api_rows(answer.body);
    }

    std::vector<StoredUpload> stored() { return db.uploads(); }

    ScratchFolder scratch;
    TestDatabase db{scratch.path()}; // an SQLite file, or a PostgreSQL database of its own
    SiteProcess site{scratch.path()};
};

} // namespace sitetest
