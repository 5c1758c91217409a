// ludora-site's command line and the files it will and will not use.
#include "site_fixture.h"

#include <fstream>
#include <sqlite3.h>

using namespace sitetest;

namespace {

class CommandLineTest : public ::testing::Test {
protected:
    ScratchFolder scratch;
    SiteProcess site{scratch.path()};
};

void make_database(const std::filesystem::path& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &db));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
    sqlite3_close(db);
}

} // namespace

TEST_F(CommandLineTest, HelpNamesEveryOptionAndEndsWell) {
    EXPECT_EQ(0, site.run_to_end({"--help"}));
    for (const char* option :
         {"--listen", "--port", "--db", "--rate-limit", "--games", "--max-games",
          "--max-rows-per-game", "--max-db-mb", "--purge-private-after", "--trusted-proxy",
          "--db-connections", "--copy-db"})
        EXPECT_NE(std::string::npos, site.log().find(option)) << option;
}

TEST_F(CommandLineTest, WrongArgumentsAreRefusedWithTheReason) {
    EXPECT_EQ(2, site.run_to_end({"--colour", "blue"}));
    EXPECT_NE(std::string::npos, site.log().find("--colour: unknown argument"));
    EXPECT_EQ(2, site.run_to_end({"--port", "eighty"}));
    EXPECT_EQ(2, site.run_to_end({"--port", "65536"}));
    EXPECT_EQ(2, site.run_to_end({"--rate-limit", "-1"}));
    EXPECT_EQ(2, site.run_to_end({"--db"}));
    EXPECT_EQ(2, site.run_to_end({"--games", "Pearlwreck,Pearl/wreck"}));
    EXPECT_EQ(2, site.run_to_end({"--trusted-proxy", "the proxy"}));
}

TEST_F(CommandLineTest, WithoutDbTheScoresAreKeptInSiteDbInTheCurrentFolder) {
    ASSERT_TRUE(site.start()) << site.log();
    ASSERT_EQ(200,
              http_get(site.port(), launcher_upload_target("Pearlwreck", "Ann:::N", 10)).status);
    EXPECT_EQ(0, site.stop());
    const auto rows = stored_uploads(scratch.path() / "site.db");
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ("Ann", rows[0].player);
}

TEST_F(CommandLineTest, APortInUseIsReportedAndTheSiteEnds) {
    ASSERT_TRUE(site.start({"--db", (scratch.path() / "a.db").string()})) << site.log();
    SiteProcess second{scratch.path()};
    EXPECT_EQ(1, second.run_to_end({"--port", std::to_string(site.port()), "--db",
                                    (scratch.path() / "b.db").string()}));
    EXPECT_NE(std::string::npos, second.log().find("cannot listen on 127.0.0.1 port"));
}

TEST_F(CommandLineTest, ADatabaseOfSomethingElseIsLeftAlone) {
    const auto path = scratch.path() / "other.db";
    make_database(path, "CREATE TABLE notes (text TEXT); INSERT INTO notes VALUES ('keep me');");
    EXPECT_EQ(1, site.run_to_end({"--port", "0", "--db", path.string()}));
    EXPECT_NE(std::string::npos, site.log().find("not of this site")) << site.log();
}

TEST_F(CommandLineTest, ADatabaseFromANewerSiteIsNotTouched) {
    const auto path = scratch.path() / "newer.db";
    ASSERT_TRUE(site.start({"--db", path.string()})) << site.log();
    EXPECT_EQ(0, site.stop());
    make_database(path, "PRAGMA user_version = 7");
    EXPECT_EQ(1, site.run_to_end({"--port", "0", "--db", path.string()}));
    EXPECT_NE(std::string::npos, site.log().find("layout 7")) << site.log();
}

TEST_F(CommandLineTest, AFileThatIsNoDatabaseIsRefused) {
    const auto path = scratch.path() / "junk.db";
    std::ofstream(path) << std::string(4096, 'j');
    EXPECT_EQ(1, site.run_to_end({"--port", "0", "--db", path.string()}));
    EXPECT_NE(std::string::npos, site.log().find("junk.db")) << site.log();
}
