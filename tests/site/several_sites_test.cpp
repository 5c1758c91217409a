// Several sites on one database, and the database going away and coming back.
#include "site_fixture.h"

#include <chrono>
#include <cstdlib>
#include <thread>

using namespace sitetest;

TEST_F(SiteTest, AnUploadThroughOneSiteIsOnTheOtherSitesPagesAtOnce) {
    ScratchFolder folder;
    SiteProcess second{folder.path()};
    ASSERT_TRUE(second.start({"--db", db.argument()})) << second.log();
    const auto upload_to_second = [&](const std::string& field, int32_t score) {
        return http_get(second.port(), launcher_upload_target("Pearlwreck", field, score));
    };
    ASSERT_EQ(200, upload("Pearlwreck", "Ann:::N", 1200).status);
    ASSERT_EQ(200, upload_to_second("Bob:::N", 900).status);
    const HttpAnswer again = upload_to_second("Ann:::N", 1200);
    EXPECT_NE(std::string::npos, visible_text(again.body).find("sent this score before"));
    for (const char* target : {"/", "/api/scores", "/api/scores?game=Pearlwreck"}) {
        const HttpAnswer first = get(target);
        EXPECT_EQ(200, first.status) << target;
        EXPECT_EQ(first.body, http_get(second.port(), target).body) << target;
    }
    const auto api = scores_of("Pearlwreck");
    ASSERT_EQ(2u, api.size());
    EXPECT_EQ("Ann", api[0].name);
    EXPECT_EQ("Bob", api[1].name);
    EXPECT_EQ(2u, stored().size());
}

TEST_F(SiteTest, WhileTheDatabaseServerIsDownTheSiteAnswers503AndThenCarriesOn) {
    if (!TestDatabase::on_postgresql()) GTEST_SKIP() << "an SQLite file has no server to stop";
    ASSERT_EQ(200, upload("Pearlwreck", "Ann:::N", 1200).status);
    // "regress" is the cluster pg_virtualenv makes.
    ASSERT_EQ(0, std::system("pg_ctlcluster \"$PGVERSION\" regress stop -m fast"));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(503, upload("Pearlwreck", "Lost:::N", 10 + i).status);
        EXPECT_EQ(503, get("/").status);
    }
    ASSERT_EQ(0, std::system("pg_ctlcluster \"$PGVERSION\" regress start"));
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (status != 200 && std::chrono::steady_clock::now() < deadline) {
        status = upload("Pearlwreck", "Bob:::N", 900).status;
        if (status != 200) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_EQ(200, status) << site.log();
    const auto rows = stored();
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ("Ann", rows[0].player);
    EXPECT_EQ("Bob", rows[1].player);
    const std::string log = site.log();
    const size_t lost = log.find("lost the database");
    ASSERT_NE(std::string::npos, lost) << log;
    EXPECT_EQ(std::string::npos, log.find("lost the database", lost + 1)) << "one line an outage";
}
