// What the store keeps: copies of it, its layout, its caps, and private
// fields only for so long.
#include "site_fixture.h"

#include <atomic>
#include <fstream>
#include <set>
#include <thread>

using namespace sitetest;

TEST_F(SiteTest, ACopyEitherWayKeepsEveryUploadAndAnswersByteForByteAlike) {
    ASSERT_EQ(200, upload("Pearlwreck", "Ann Lee:12 Sea Road:ann@example.org:Y", 1200).status);
    ASSERT_EQ(200, upload("Pearlwreck", "Bob:::N", 900).status);
    ASSERT_EQ(200, upload("Pearlwreck", "Cy:::N", 900).status); // ties rank the newest first
    ASSERT_EQ(200, upload("Sea Battle", "Zo\xC3\xAB:::N", -5).status);
    ASSERT_EQ(200, upload("Abyss", "Dee:::N", 7).status);
    const std::vector<std::string> targets = {"/", "/api/scores", "/api/scores?game=Pearlwreck"};
    std::vector<std::string> original;
    for (const auto& target : targets)
        original.push_back(get(target).body);
    site.stop();

    // Into an SQLite file, and from it into a new database of the test's kind, twice.
    const std::string file = (scratch.path() / "copy.db").string();
    TestDatabase back{scratch.path(), "back"};
    EXPECT_EQ(0, site.run_to_end({"--copy-db", db.argument(), file})) << site.log();
    EXPECT_EQ(0, site.run_to_end({"--copy-db", file, back.argument()})) << site.log();
    EXPECT_EQ(0, site.run_to_end({"--copy-db", file, back.argument()})) << site.log();
    EXPECT_EQ(stored(), back.uploads());
    for (const std::string& copy : {file, back.argument()}) {
        ASSERT_TRUE(site.start({"--db", copy, "--games", "any"})) << site.log();
        for (size_t i = 0; i < targets.size(); ++i)
            EXPECT_EQ(original[i], get(targets[i]).body) << copy << targets[i];
        site.stop();
    }
}

TEST_F(SiteTest, ADatabaseOfANewerLayoutIsRefusedAndLeftAlone) {
    site.stop();
    ASSERT_TRUE(db.execute(TestDatabase::on_postgresql()
                               ? "INSERT INTO ludora_site_migrations (version) VALUES (99)"
                               : "PRAGMA user_version = 99"));
    EXPECT_EQ(1, site.run_to_end({"--port", "0", "--db", db.argument()}));
    EXPECT_NE(std::string::npos, site.log().find("layout 99")) << site.log();
}

TEST_F(SiteTest, TheCapsKeepTheShownPlacesAndEachPlayersBestWithinTheGamesAllowed) {
    site.stop();
    ASSERT_TRUE(start_site({"--rate-limit", "0", "--max-games", "2", "--max-rows-per-game", "22"}));
    // Ann sends 10..250, then Bob 5 and Cy 1: 27 uploads, 22 kept. The 20
    // shown places are Ann's 250..60; then each other player's best.
    for (int i = 1; i <= 25; ++i)
        ASSERT_EQ(200, upload("Pearlwreck", "Ann:::N", i * 10).status);
    ASSERT_EQ(200, upload("Pearlwreck", "Bob:::N", 5).status);
    ASSERT_EQ(200, upload("Pearlwreck", "Cy:::N", 1).status);
    std::multiset<std::pair<std::string, int32_t>> kept, expected = {{"Bob", 5}, {"Cy", 1}};
    for (int i = 6; i <= 25; ++i)
        expected.insert({"Ann", i * 10});
    for (const auto& row : stored())
        kept.insert({row.player, row.score});
    EXPECT_EQ(expected, kept);

    ASSERT_EQ(200, upload("Sea Battle", "Ann:::N", 1).status);
    EXPECT_NE(200, upload("Third Game", "Ann:::N", 1).status);
    EXPECT_EQ(23u, stored().size());
}

TEST_F(SiteTest, AddressesAndEmailsOlderThanAYearAreForgottenAtTheNextStart) {
    ASSERT_EQ(200, upload("Pearlwreck", "Old:1 Quay:old@example.org:Y", 300).status);
    ASSERT_EQ(200, upload("Pearlwreck", "New:2 Quay:new@example.org:Y", 200).status);
    site.stop();
    ASSERT_TRUE(db.execute("UPDATE uploads SET uploaded_at = uploaded_at - 366 * 86400 "
                           "WHERE player = 'Old'"));
    ASSERT_TRUE(start_site()) << site.log();
    const auto rows = stored();
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ("", rows[0].address);
    EXPECT_EQ("", rows[0].email);
    EXPECT_EQ(300, rows[0].score); // the score stays
    EXPECT_EQ("2 Quay", rows[1].address);
    EXPECT_EQ("new@example.org", rows[1].email);
}

TEST_F(SiteTest, PagesAreAnsweredWhileAnUploadWaitsBehindAnotherWriter) {
    ASSERT_EQ(200, upload("Pearlwreck", "Ann:::N", 100).status);
    auto held = db.hold_writes();
    ASSERT_TRUE(held);
    std::atomic<int> waiting_upload = 0;
    std::thread uploader([&] { waiting_upload = upload("Pearlwreck", "Bob:::N", 200).status; });
    // Until the upload waits in the database; SQLite cannot say, so a while.
    for (int i = 0; i < 300 && (TestDatabase::on_postgresql() ? !db.a_writer_waits() : i < 30); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(200, get("/").status);
    EXPECT_EQ(1u, scores_of("Pearlwreck").size());
    EXPECT_EQ(0, waiting_upload) << "the upload cannot have been written yet";
    held.reset();
    uploader.join();
    EXPECT_EQ(200, waiting_upload);
    EXPECT_EQ(2u, stored().size());
}

TEST_F(SiteTest, ADamagedFileIsRefusedAtStartWithTheCheckSaying) {
    if (TestDatabase::on_postgresql()) GTEST_SKIP() << "PostgreSQL keeps its own files whole";
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(200, upload("Pearlwreck", "P" + std::to_string(i) + ":::N", i).status);
    site.stop();
    {
        // Page 2 is the root of the uploads: scribble over its start, leaving
        // the file's header on page 1 whole.
        std::fstream file(db.argument(), std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(4096);
        file.write(std::string(64, '\x7f').data(), 64);
    }
    EXPECT_EQ(1, site.run_to_end({"--port", "0", "--db", db.argument()}));
    EXPECT_NE(std::string::npos, site.log().find("fails its integrity check")) << site.log();
}
