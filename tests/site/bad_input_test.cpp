// Uploads the site refuses: answered 400 with a page that says what was wrong,
// and nothing stored.
#include "site_fixture.h"

using namespace sitetest;

namespace {

struct BadUpload {
    const char* what;
    std::string query;  // after "/cgi-bin/hiscore.cgi", raw on the wire
    const char* reason; // words the page must show
};

void PrintTo(const BadUpload& bad, std::ostream* out) {
    *out << bad.what;
}

std::string masked(int32_t score) {
    return std::to_string(static_cast<int32_t>(static_cast<uint32_t>(score) ^ kScoreMask));
}

const std::string kField = "Ann%20Lee:::N";

std::vector<BadUpload> bad_uploads() {
    const std::string fine_score = "&score=" + masked(100);
    return {
        {"NoQuery", "", "game="},
        {"EmptyQuery", "?", "game="},
        {"GameKeyMissing", "?name=" + kField + fine_score, "game="},
        {"GameKeyNotFirst", "?x=1&game=Pearlwreck&name=" + kField + fine_score, "game="},
        {"NameKeyMissing", "?game=Pearlwreck" + fine_score, "name="},
        {"ScoreKeyMissing", "?game=Pearlwreck&name=" + kField, "score="},
        {"ScoreEmpty", "?game=Pearlwreck&name=" + kField + "&score=", "32 bits"},
        {"ScoreWithLetters", "?game=Pearlwreck&name=" + kField + "&score=12abc", "32 bits"},
        {"ScoreWithFraction", "?game=Pearlwreck&name=" + kField + "&score=1.5", "32 bits"},
        {"ScoreWithPlus", "?game=Pearlwreck&name=" + kField + "&score=+12", "32 bits"},
        {"ScoreWithSpace", "?game=Pearlwreck&name=" + kField + "&score=%2012", "32 bits"},
        {"ScoreInHex", "?game=Pearlwreck&name=" + kField + "&score=0x10", "32 bits"},
        {"ScoreAbove32Bits", "?game=Pearlwreck&name=" + kField + "&score=2147483648", "32 bits"},
        {"ScoreBelow32Bits", "?game=Pearlwreck&name=" + kField + "&score=-2147483649", "32 bits"},
        {"ScoreWithTrailingKey", "?game=Pearlwreck&name=" + kField + fine_score + "&x=1",
         "32 bits"},
        {"GameEmpty", "?game=&name=" + kField + fine_score, "empty"},
        {"GameOf64Bytes", "?game=" + std::string(64, 'G') + "&name=" + kField + fine_score,
         "63 bytes"},
        {"GameWithSlash", "?game=Pearl/wreck&name=" + kField + fine_score, "letters, digits"},
        {"GameWithEscapedLessThan", "?game=Pearl%3cwreck&name=" + kField + fine_score,
         "letters, digits"},
        {"GameWithAccent",
         "?game=Pearlwr\xC3\xA9"
         "ck&name=" +
             kField + fine_score,
         "letters, digits"},
        {"GameWithColon", "?game=Pearl:wreck&name=" + kField + fine_score, "letters, digits"},
        {"NameFieldOf256Bytes",
         "?game=Pearlwreck&name=" + std::string(252, 'n') + ":::N" + fine_score, "255 bytes"},
        {"NameFieldWithTab", "?game=Pearlwreck&name=Ann%09Lee:::N" + fine_score, "control"},
        {"NameFieldWithLineBreak", "?game=Pearlwreck&name=Ann%0aLee:::N" + fine_score, "control"},
        {"NameFieldWithNul", "?game=Pearlwreck&name=Ann%00:::N" + fine_score, "control"},
        {"NameFieldWithDelete", "?game=Pearlwreck&name=Ann%7f:::N" + fine_score, "control"},
        {"NameFieldWithUtf8NextLine", "?game=Pearlwreck&name=Ann%c2%85:::N" + fine_score,
         "control"},
        {"NameFieldWithBrokenEscape", "?game=Pearlwreck&name=Ann%zz:::N" + fine_score, "broken"},
        {"GameWithCutEscape", "?game=Pearl%4&name=" + kField + fine_score, "broken"},
        {"ScoreWithCutEscape", "?game=Pearlwreck&name=" + kField + "&score=12%3", "broken"},
    };
}

class BadUploadTest : public SiteTest, public ::testing::WithParamInterface<BadUpload> {};

} // namespace

TEST_P(BadUploadTest, IsAnsweredFourHundredWithTheReasonAndStoresNothing) {
    const BadUpload& bad = GetParam();
    const HttpAnswer answer = get("/cgi-bin/hiscore.cgi" + bad.query);
    EXPECT_EQ(400, answer.status) << answer.body;
    EXPECT_EQ("text/html; charset=utf-8", answer.header("content-type"));
    const std::string text = visible_text(answer.body);
    EXPECT_NE(std::string::npos, text.find("That upload could not be recorded")) << text;
    EXPECT_NE(std::string::npos, text.find(bad.reason)) << text;
    EXPECT_NE(std::string::npos, text.find("Nothing was recorded")) << text;
    EXPECT_TRUE(stored().empty());
    EXPECT_TRUE(scores_of("Pearlwreck").empty());
}

INSTANTIATE_TEST_SUITE_P(EveryKind, BadUploadTest, ::testing::ValuesIn(bad_uploads()),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(SiteTest, TheLongestAcceptedGameAndNameFieldAreRecorded) {
    // One byte under each limit above; sent without the launcher's 256-character
    // cut, which a 255-byte name field would not survive.
    const std::string game(63, 'G');
    const std::string field = std::string(251, 'n') + ":::N";
    ASSERT_EQ(255u, field.size());
    const HttpAnswer answer =
        get("/cgi-bin/hiscore.cgi?game=" + game + "&name=" + field + "&score=" + masked(42));
    ASSERT_EQ(200, answer.status) << answer.body;
    const auto rows = stored();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(game, rows[0].game);
    EXPECT_EQ(std::string(251, 'n'), rows[0].player);
}

TEST_F(SiteTest, AnUploadTheLauncherHadToCutShortIsRefusedNotMisread) {
    // A long name field pushes the score out of the launcher's 256 characters.
    const std::string field = "Long" + std::string(200, 'x') + ":A very long road 123:x@y.z:Y";
    const std::string target = launcher_upload_target("Pearlwreck", field, 5000);
    ASSERT_EQ(std::string::npos, target.find("&score=")) << target;
    EXPECT_EQ(400, get(target).status);
    EXPECT_TRUE(stored().empty());
}
