// Uploads exactly as the launcher sends them are recorded, ranked and shown.
#include "site_fixture.h"

#include <algorithm>
#include <climits>

using namespace sitetest;

namespace {

const std::string kAnn = "Ann Lee:12 Sea Road:ann@example.org:Y";

} // namespace

TEST_F(SiteTest, TheLauncherAddressForAnnLeeIsRecordedAsAnnLeeWith1200AtRankOne) {
    const std::string target = launcher_upload_target("Pearlwreck", kAnn, 1200);
    // 1200 is 0x4B0; 0x4B0 ^ 0x3C3C3C3 = 0x3C3C873 = 63162227. Spaces become %20,
    // ":" and "@" stay.
    ASSERT_EQ("/cgi-bin/hiscore.cgi?game=Pearlwreck&name=Ann%20Lee:12%20Sea%20Road:"
              "ann@example.org:Y&score=63162227",
              target);
    const HttpAnswer answer = get(target);
    ASSERT_EQ(200, answer.status) << answer.body;
    EXPECT_EQ("text/html; charset=utf-8", answer.header("content-type"));
    const std::string text = visible_text(answer.body);
    EXPECT_NE(std::string::npos, text.find("Thank you, Ann Lee!")) << text;
    EXPECT_NE(std::string::npos, text.find("score of 1200 in Pearlwreck")) << text;
    EXPECT_NE(std::string::npos, text.find("recorded at rank 1 of 1")) << text;
    EXPECT_NE(std::string::npos, text.find("1 Ann Lee 1200")) << text; // the top-twenty row

    const auto rows = stored();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ("Pearlwreck", rows[0].game);
    EXPECT_EQ("Ann Lee", rows[0].player);
    EXPECT_EQ(1200, rows[0].score);
    const auto api = scores_of("Pearlwreck");
    ASSERT_EQ(1u, api.size());
    EXPECT_EQ(1, api[0].rank);
    EXPECT_EQ("Ann Lee", api[0].name);
    EXPECT_EQ(1200, api[0].score);
}

TEST_F(SiteTest, ANameFieldWithAmpersandEqualsColonAndPercentTwentySixKeepsEveryCharacter) {
    // The launcher leaves "&" and "=" as they are and sends "%" as "%25".
    const std::string field = "R&B=%26 fan:Flat 2: Dock Lane:rb@example.org:Y";
    const std::string target = launcher_upload_target("Pearlwreck", field, 750);
    ASSERT_NE(std::string::npos, target.find("name=R&B=%2526%20fan:Flat%202:%20Dock")) << target;
    const HttpAnswer answer = get(target);
    ASSERT_EQ(200, answer.status) << answer.body;
    EXPECT_NE(std::string::npos, visible_text(answer.body).find("Thank you, R&B=%26 fan!"));

    const auto rows = stored();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ("R&B=%26 fan", rows[0].player);
    EXPECT_EQ("Flat 2: Dock Lane", rows[0].address); // a ":" typed in the address stays there
    EXPECT_EQ("rb@example.org", rows[0].email);
    EXPECT_EQ("Y", rows[0].send);
    EXPECT_EQ(750, rows[0].score);
}

TEST_F(SiteTest, KeysRepeatedInsideTheNameDoNotMoveTheGameOrTheScore) {
    const std::string field = "Max&score=99999&name=Eve&game=Other:::N";
    ASSERT_EQ(200, upload("Pearlwreck", field, 300).status);
    const auto rows = stored();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ("Pearlwreck", rows[0].game);
    EXPECT_EQ("Max&score=99999&name=Eve&game=Other", rows[0].player);
    EXPECT_EQ(300, rows[0].score);
}

TEST_F(SiteTest, ScoresAcrossTheWholeSigned32BitRangeComeBackThroughTheMask) {
    const int32_t scores[] = {0, -5, 1, INT32_MAX, INT32_MIN, 0x3C3C3C3, -0x3C3C3C3};
    int player = 0;
    for (const int32_t score : scores) {
        const std::string field = "P" + std::to_string(player++) + ":::N";
        ASSERT_EQ(200, upload("Pearlwreck", field, score).status) << score;
    }
    const auto rows = stored();
    ASSERT_EQ(std::size(scores), rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(scores[i], rows[i].score) << i;
}

TEST_F(SiteTest, TheSameUploadSentTwiceIsRecordedOnce) {
    ASSERT_EQ(200, upload("Pearlwreck", kAnn, 1200).status);
    const HttpAnswer again = upload("Pearlwreck", kAnn, 1200);
    ASSERT_EQ(200, again.status);
    const std::string text = visible_text(again.body);
    EXPECT_NE(std::string::npos, text.find("Thank you, Ann Lee!"));
    EXPECT_NE(std::string::npos, text.find("recorded at rank 1 of 1")) << text;
    EXPECT_NE(std::string::npos, text.find("sent this score before")) << text;
    EXPECT_EQ(1u, stored().size());

    // Another score, another game or another player is another upload.
    ASSERT_EQ(200, upload("Pearlwreck", kAnn, 1300).status);
    ASSERT_EQ(200, upload("Sea Battle", kAnn, 1200).status);
    ASSERT_EQ(200, upload("Pearlwreck", "Bob:::N", 1200).status);
    EXPECT_EQ(4u, stored().size());
}

TEST_F(SiteTest, RanksGoByScoreWithTheNewestFirstAmongEqualScores) {
    struct Sent {
        std::string name;
        int32_t score;
        int order;
    };
    std::vector<Sent> sent = {{"Ada", 500, 0}, {"Ben", 900, 1}, {"Cy", 500, 2},
                              {"Dot", 100, 3}, {"Eve", 500, 4}, {"Fay", -20, 5}};
    for (const Sent& s : sent) {
        const HttpAnswer answer = upload("Pearlwreck", s.name + ":::N", s.score);
        ASSERT_EQ(200, answer.status);
        // The rank at the time of sending: below every higher score sent
        // before, above every equal one (the newest first).
        int rank = 1;
        for (const Sent& other : sent)
            if (other.order < s.order && other.score > s.score) ++rank;
        const std::string expected =
            "recorded at rank " + std::to_string(rank) + " of " + std::to_string(s.order + 1);
        EXPECT_NE(std::string::npos, visible_text(answer.body).find(expected)) << s.name;
    }
    std::sort(sent.begin(), sent.end(), [](const Sent& a, const Sent& b) {
        return a.score != b.score ? a.score > b.score : a.order > b.order;
    });
    const auto api = scores_of("Pearlwreck");
    ASSERT_EQ(sent.size(), api.size());
    for (size_t i = 0; i < api.size(); ++i) {
        EXPECT_EQ(static_cast<int>(i) + 1, api[i].rank);
        EXPECT_EQ(sent[i].name, api[i].name);
        EXPECT_EQ(sent[i].score, api[i].score);
    }
}

TEST_F(SiteTest, OnlyTheTopTwentyAreListedButEveryUploadGetsItsRank) {
    for (int i = 1; i <= 25; ++i)
        ASSERT_EQ(200, upload("Pearlwreck", "P" + std::to_string(i) + ":::N", i * 10).status);
    const auto api = scores_of("Pearlwreck");
    ASSERT_EQ(20u, api.size());
    EXPECT_EQ(250, api.front().score);
    EXPECT_EQ(60, api.back().score);

    const HttpAnswer low = upload("Pearlwreck", "Low:::N", 5);
    ASSERT_EQ(200, low.status);
    const std::string text = visible_text(low.body);
    EXPECT_NE(std::string::npos, text.find("recorded at rank 26 of 26")) << text;
    EXPECT_NE(std::string::npos, text.find("not among the top twenty")) << text;
    EXPECT_EQ(std::string::npos, text.find(" Low ")) << "a 26th place is not in the table";
}

TEST_F(SiteTest, AnEmptyHallOfFameHasNothingToRecord) {
    // The launcher's upload from an empty table: an empty name and 0 behind the mask.
    const std::string target = launcher_upload_target("Pearlwreck", "", 0);
    ASSERT_EQ("/cgi-bin/hiscore.cgi?game=Pearlwreck&name=&score=63161283", target);
    const HttpAnswer answer = get(target);
    ASSERT_EQ(200, answer.status);
    EXPECT_NE(std::string::npos, visible_text(answer.body).find("No score to send yet"));
    EXPECT_TRUE(stored().empty());
}

TEST_F(SiteTest, EachGameKeepsItsOwnTable) {
    ASSERT_EQ(200, upload("Pearlwreck", "Ann:::N", 800).status);
    ASSERT_EQ(200, upload("Sea Battle 2", "Bob:::N", 900).status);
    ASSERT_EQ(200, upload("Pearlwreck", "Cy:::N", 700).status);
    const auto pearls = scores_of("Pearlwreck");
    ASSERT_EQ(2u, pearls.size());
    EXPECT_EQ("Ann", pearls[0].name);
    EXPECT_EQ("Cy", pearls[1].name);
    const auto battles = scores_of("Sea Battle 2");
    ASSERT_EQ(1u, battles.size());
    EXPECT_EQ("Bob", battles[0].name);
    EXPECT_EQ(1, battles[0].rank);
}

TEST_F(SiteTest, NamesInTheWindowsCodePageAreShownAsTheyWereTyped) {
    // Bytes from 128 up travel unescaped: "Jos\xE9" is Windows-1252 for José,
    // "Zo\xC3\xAB" is already UTF-8.
    ASSERT_EQ(200, upload("Pearlwreck", "Jos\xE9:::N", 10).status);
    ASSERT_EQ(200, upload("Pearlwreck", "Zo\xC3\xAB:::N", 20).status);
    ASSERT_EQ(200, upload("Pearlwreck", "\x80uro:::N", 30).status);
    const auto api = scores_of("Pearlwreck");
    ASSERT_EQ(3u, api.size());
    EXPECT_EQ("\xE2\x82\xACuro", api[0].name);
    EXPECT_EQ("Zo\xC3\xAB", api[1].name);
    EXPECT_EQ("Jos\xC3\xA9", api[2].name);
}
