// The scores outlive the process: a clean stop, an interrupt, a kill.
#include "site_fixture.h"

using namespace sitetest;

TEST_F(SiteTest, SigtermStopsTheSiteCleanlyAndARestartKeepsTheScores) {
    ASSERT_EQ(200, upload("Pearlwreck", "Ann:::N", 1200).status);
    ASSERT_EQ(200, upload("Pearlwreck", "Bob:::N", 900).status);
    EXPECT_EQ(0, site.stop());
    EXPECT_NE(std::string::npos, site.log().find("ludora-site: stopped"));

    ASSERT_TRUE(start_site()) << site.log();
    const auto api = scores_of("Pearlwreck");
    ASSERT_EQ(2u, api.size());
    EXPECT_EQ("Ann", api[0].name);
    EXPECT_EQ("Bob", api[1].name);
    // What was recorded before the restart is still recognised as sent.
    const HttpAnswer again = upload("Pearlwreck", "Ann:::N", 1200);
    EXPECT_NE(std::string::npos, visible_text(again.body).find("sent this score before"));
    EXPECT_EQ(2u, stored().size());
}

TEST_F(SiteTest, SigintStopsTheSiteCleanly) {
    EXPECT_EQ(0, site.stop(SIGINT));
    EXPECT_NE(std::string::npos, site.log().find("ludora-site: stopped"));
}

TEST_F(SiteTest, EveryAnsweredUploadSurvivesAKill) {
    for (int i = 1; i <= 5; ++i)
        ASSERT_EQ(200, upload("Pearlwreck", "P" + std::to_string(i) + ":::N", i * 100).status);
    site.kill();
    EXPECT_EQ(5u, stored().size()); // readable straight from the file left behind

    ASSERT_TRUE(start_site()) << site.log();
    const auto api = scores_of("Pearlwreck");
    ASSERT_EQ(5u, api.size());
    EXPECT_EQ("P5", api[0].name);
    EXPECT_EQ(100, api[4].score);
}
