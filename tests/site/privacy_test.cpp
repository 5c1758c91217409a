// What a player typed is shown only as text, and only their name: the address
// and e-mail are never shown, and kept only when the player said yes.
#include "site_fixture.h"

using namespace sitetest;

namespace {

const std::string kAddress = "12 Sea Road";
const std::string kEmail = "ann@example.org";

} // namespace

TEST_F(SiteTest, PlayerTextIsEscapedOnEveryPage) {
    const std::string name = "<script>alert(1)</script><b>\"Bold\"</b> & 'Co'";
    const HttpAnswer thanks = upload("Pearlwreck", name + ":::N", 500);
    ASSERT_EQ(200, thanks.status);
    const HttpAnswer home = get("/");
    for (const HttpAnswer* page : {&thanks, &home}) {
        EXPECT_EQ(std::string::npos, page->body.find("<script")) << page->body;
        EXPECT_EQ(std::string::npos, page->body.find("<b>")) << page->body;
        EXPECT_NE(std::string::npos, page->body.find("&lt;script&gt;alert(1)&lt;/script&gt;"));
        EXPECT_NE(std::string::npos, visible_text(page->body).find(name)) << page->body;
    }
    const HttpAnswer json = get("/api/scores?game=Pearlwreck");
    EXPECT_EQ(std::string::npos, json.body.find('<')) << json.body;
    const auto rows = api_rows(json.body);
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(name, rows[0].name);
}

TEST_F(SiteTest, PagesForbidScriptsEvenIfAnEscapeWereMissed) {
    const HttpAnswer home = get("/");
    EXPECT_NE(std::string::npos, home.header("content-security-policy").find("default-src 'none'"));
    EXPECT_EQ(std::string::npos, home.header("content-security-policy").find("script-src"));
    EXPECT_EQ("nosniff", home.header("x-content-type-options"));
}

TEST_F(SiteTest, AddressAndEmailAreNeverShownAnywhere) {
    const std::string field = "Ann Lee:" + kAddress + ":" + kEmail + ":Y";
    const HttpAnswer thanks = upload("Pearlwreck", field, 1200);
    ASSERT_EQ(200, thanks.status);
    const HttpAnswer repeat = upload("Pearlwreck", field, 1200);
    const HttpAnswer home = get("/");
    const HttpAnswer game_json = get("/api/scores?game=Pearlwreck");
    const HttpAnswer all_json = get("/api/scores");
    for (const HttpAnswer* answer : {&thanks, &repeat, &home, &game_json, &all_json}) {
        EXPECT_EQ(200, answer->status);
        EXPECT_NE(std::string::npos, answer->body.find("Ann Lee"));
        for (const std::string& secret :
             {kAddress, kEmail, std::string("Sea Road"), std::string("example.org")})
            EXPECT_EQ(std::string::npos, answer->body.find(secret)) << answer->body;
    }
    // Nor does the request log, which keeps paths but never an upload's query.
    const std::string log = site.log();
    EXPECT_NE(std::string::npos, log.find("GET /cgi-bin/hiscore.cgi 200")) << log;
    EXPECT_EQ(std::string::npos, log.find("Sea")) << log;
    EXPECT_EQ(std::string::npos, log.find("example")) << log;
}

TEST_F(SiteTest, AddressAndEmailAreKeptWhenThePlayerSaidYes) {
    ASSERT_EQ(200, upload("Pearlwreck", "Ann Lee:" + kAddress + ":" + kEmail + ":Y", 1200).status);
    const auto rows = stored();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(kAddress, rows[0].address);
    EXPECT_EQ(kEmail, rows[0].email);
    EXPECT_EQ("Y", rows[0].send);
}

TEST_F(SiteTest, AddressAndEmailAreNeverWrittenWhenThePlayerSaidNo) {
    // Only an upper-case "Y" is a yes, as in the launcher's settings.
    ASSERT_EQ(200, upload("Pearlwreck", "Ann Lee:" + kAddress + ":" + kEmail + ":N", 1200).status);
    ASSERT_EQ(200, upload("Pearlwreck", "Bo:9 Dock Street:bo@mail.test:y", 900).status);
    ASSERT_EQ(200, upload("Pearlwreck", "Cy:1 Pier Lane:cy@mail.test:", 800).status);
    const auto rows = stored();
    ASSERT_EQ(3u, rows.size());
    for (const auto& row : rows) {
        EXPECT_EQ("", row.address) << row.player;
        EXPECT_EQ("", row.email) << row.player;
    }
    EXPECT_EQ("Ann Lee", rows[0].player);
    EXPECT_EQ("N", rows[0].send);
    EXPECT_EQ("y", rows[1].send);
    EXPECT_EQ("", rows[2].send);
    site.stop();
    const std::string bytes = db.bytes();
    for (const char* secret : {"Sea Road", "example.org", "Dock Street", "Pier Lane", "mail.test"})
        EXPECT_EQ(std::string::npos, bytes.find(secret)) << secret;
}
