// The limits: uploads a minute from one address, the size of a request, and
// uploads only by GET.
#include "site_fixture.h"

#include <csignal>

using namespace sitetest;

namespace {

std::string name_field(int i) {
    return "P" + std::to_string(i) + ":::N";
}

} // namespace

TEST_F(SiteTest, OneAddressMayUploadThirtyTimesAMinuteByDefault) {
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(200, upload("Pearlwreck", name_field(i), i).status) << i;
    const HttpAnswer refused = upload("Pearlwreck", name_field(30), 30);
    EXPECT_EQ(429, refused.status);
    EXPECT_EQ("60", refused.header("retry-after"));
    const std::string text = visible_text(refused.body);
    EXPECT_NE(std::string::npos, text.find("Too many uploads")) << text;
    EXPECT_NE(std::string::npos, text.find("at most 30 uploads a minute")) << text;
    EXPECT_EQ(30u, stored().size());
    // Reading the scores is not limited.
    EXPECT_EQ(200, get("/").status);
    EXPECT_EQ(20u, scores_of("Pearlwreck").size());
}

TEST_F(SiteTest, TheUploadLimitIsConfigurable) {
    site.kill();
    ASSERT_TRUE(start_site({"--rate-limit", "3"})) << site.log();
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(200, upload("Pearlwreck", name_field(i), i).status);
    // Refused uploads count too: a flood of bad ones is held back as well.
    EXPECT_EQ(429, upload("Pearlwreck", name_field(3), 3).status);
    EXPECT_EQ(429, get("/cgi-bin/hiscore.cgi?bad").status);
    EXPECT_EQ(3u, stored().size());
}

TEST_F(SiteTest, ALimitOfZeroLetsEveryUploadThrough) {
    site.kill();
    ASSERT_TRUE(start_site({"--rate-limit", "0"})) << site.log();
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(200, upload("Pearlwreck", name_field(i), i).status) << i;
    EXPECT_EQ(40u, stored().size());
}

TEST_F(SiteTest, ARequestJustUnderEightKilobytesIsAnswered) {
    // Request line, Host and Connection lines and this header come to 8000 bytes.
    const std::string base = "GET / HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(site.port()) +
                             "\r\nConnection: close\r\n\r\n";
    const std::string header_start = "X-Padding: ";
    const size_t padding = 8000 - base.size() - header_start.size() - 2;
    const HttpAnswer answer =
        http_get(site.port(), "/", {header_start + std::string(padding, 'p')});
    EXPECT_EQ(200, answer.status);
}

TEST_F(SiteTest, AnUploadAddressOverEightKilobytesIsRefusedAndStoresNothing) {
    const std::string target =
        launcher_upload_target("Pearlwreck", "Ann:::N", 100) + std::string(9000, 'x');
    const HttpAnswer answer = get(target);
    EXPECT_GE(answer.status, 400);
    EXPECT_LT(answer.status, 500);
    EXPECT_TRUE(stored().empty());
}

TEST_F(SiteTest, AnUploadWhoseHeadersBringItOverEightKilobytesIsRefusedAndStoresNothing) {
    const std::vector<std::string> headers = {"X-One: " + std::string(3000, 'a'),
                                              "X-Two: " + std::string(3000, 'b'),
                                              "X-Three: " + std::string(3000, 'c')};
    const HttpAnswer answer =
        http_get(site.port(), launcher_upload_target("Pearlwreck", "Ann:::N", 100), headers);
    EXPECT_EQ(431, answer.status);
    EXPECT_NE(std::string::npos, visible_text(answer.body).find("at most 8 KB"));
    EXPECT_TRUE(stored().empty());
}

TEST_F(SiteTest, ABodyOverEightKilobytesIsRefused) {
    const HttpAnswer answer =
        http_request(site.port(), "POST", "/cgi-bin/hiscore.cgi", {"Content-Length: 9000"});
    EXPECT_EQ(413, answer.status);
    EXPECT_TRUE(stored().empty());
}

TEST_F(SiteTest, AnUploadByHeadOrPostRecordsNothing) {
    const std::string target = launcher_upload_target("Pearlwreck", "Ann:::N", 100);
    const HttpAnswer head = http_request(site.port(), "HEAD", target);
    EXPECT_EQ(405, head.status);
    EXPECT_EQ("GET", head.header("allow"));
    const HttpAnswer post = http_request(site.port(), "POST", target, {"Content-Length: 0"});
    EXPECT_EQ(405, post.status);
    EXPECT_NE(std::string::npos, visible_text(post.body).find("Uploads come as GET requests"));
    EXPECT_TRUE(stored().empty());
}
