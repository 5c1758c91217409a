// The home page, the JSON scores, the style sheet and the pages for what
// is not there.
#include "site_fixture.h"

#include <regex>

using namespace sitetest;

TEST_F(SiteTest, TheHomePageOfAFreshSiteInvitesTheFirstUpload) {
    const HttpAnswer home = get("/");
    ASSERT_EQ(200, home.status);
    EXPECT_EQ("text/html; charset=utf-8", home.header("content-type"));
    const std::string text = visible_text(home.body);
    EXPECT_NE(std::string::npos, text.find("Hall of Fame")) << text;
    EXPECT_NE(std::string::npos, text.find("No scores have been sent yet")) << text;
    EXPECT_NE(std::string::npos, home.body.find("href=\"/style.css\""));
}

TEST_F(SiteTest, TheHomePageShowsEveryGameByNameWithItsTopTwentyBestFirst) {
    site.kill();
    ASSERT_TRUE(start_site({"--rate-limit", "0"})) << site.log();
    for (int i = 1; i <= 22; ++i)
        ASSERT_EQ(200, upload("Pearlwreck", "P" + std::to_string(i) + ":::N", i * 10).status);
    ASSERT_EQ(200, upload("Anchor Toss", "Ann:::N", 5).status);
    ASSERT_EQ(200, upload("Anchor Toss", "Bob:::N", 5).status);
    const std::string text = visible_text(get("/").body);

    const size_t anchor = text.find("Anchor Toss Rank Player Score Sent");
    const size_t pearl = text.find("Pearlwreck Rank Player Score Sent");
    ASSERT_NE(std::string::npos, anchor) << text;
    ASSERT_NE(std::string::npos, pearl) << text;
    EXPECT_LT(anchor, pearl); // games by name
    // Equal scores: the newest first.
    EXPECT_NE(std::string::npos, text.find("1 Bob 5", anchor)) << text;
    EXPECT_NE(std::string::npos, text.find("2 Ann 5", anchor)) << text;
    // Best first, twenty places: 220 down to 30; 20 and 10 are not shown.
    const std::string pearls = text.substr(pearl);
    for (int place = 1; place <= 20; ++place) {
        const int score = (23 - place) * 10;
        const std::string row = std::to_string(place) + " P" + std::to_string(score / 10) + " " +
                                std::to_string(score) + " ";
        EXPECT_NE(std::string::npos, pearls.find(row)) << row;
    }
    EXPECT_EQ(std::string::npos, pearls.find(" P2 ")) << pearls;
    EXPECT_EQ(std::string::npos, pearls.find(" P1 ")) << pearls;
}

TEST_F(SiteTest, TheScoresApiAnswersOneGameOrEveryGameAsJson) {
    ASSERT_EQ(200, upload("Pearlwreck", "Ann Lee:::N", 1200).status);
    ASSERT_EQ(200, upload("Sea Battle", "Bob:::N", 300).status);
    const HttpAnswer one = get("/api/scores?game=Pearlwreck");
    ASSERT_EQ(200, one.status);
    EXPECT_EQ("application/json; charset=utf-8", one.header("content-type"));
    EXPECT_TRUE(one.body.starts_with("{\"game\":\"Pearlwreck\",\"scores\":[")) << one.body;
    const auto rows = api_rows(one.body);
    ASSERT_EQ(1u, rows.size());
    EXPECT_TRUE(
        std::regex_match(rows[0].uploaded, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)")))
        << rows[0].uploaded;

    const HttpAnswer all = get("/api/scores");
    ASSERT_EQ(200, all.status);
    const size_t pearl = all.body.find("{\"game\":\"Pearlwreck\"");
    const size_t battle = all.body.find("{\"game\":\"Sea Battle\"");
    ASSERT_NE(std::string::npos, pearl) << all.body;
    ASSERT_NE(std::string::npos, battle) << all.body;
    EXPECT_LT(pearl, battle);
    EXPECT_EQ(2u, api_rows(all.body).size());

    // A game without scores has an empty table; a name no game can have is refused.
    const HttpAnswer none = get("/api/scores?game=Nothing%20Here");
    EXPECT_EQ(200, none.status);
    EXPECT_EQ("{\"game\":\"Nothing Here\",\"scores\":[]}", none.body);
    const HttpAnswer bad = get("/api/scores?game=a%2Fb");
    EXPECT_EQ(400, bad.status);
    EXPECT_TRUE(bad.body.starts_with("{\"error\":")) << bad.body;
}

TEST_F(SiteTest, TheStyleSheetIsServedAsCss) {
    const HttpAnswer css = get("/style.css");
    ASSERT_EQ(200, css.status);
    EXPECT_EQ("text/css; charset=utf-8", css.header("content-type"));
    EXPECT_NE(std::string::npos, css.body.find("table.scores"));
}

TEST_F(SiteTest, AnUnknownPageIsAnsweredFourHundredFourWithAPage) {
    const HttpAnswer missing = get("/cgi-bin/other.cgi?game=x");
    EXPECT_EQ(404, missing.status);
    EXPECT_NE(std::string::npos, visible_text(missing.body).find("There is no such page"));
    EXPECT_TRUE(stored().empty());
}
