// The player roster over a real settings file one folder up, as the programs
// see it from their own folders.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include <windows.h>

#include "ui/roster/player_roster.h"

#include "tests/support/temp_folder.h"

namespace {

// A launcher folder with a game folder inside; the test runs in the game folder.
class RosterFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.Made());
        ASSERT_TRUE(std::filesystem::create_directory(folder.path / "Game"));
        here = std::make_unique<testkit::CurrentFolder>(folder.path / "Game");
        roster.SetPath("..\\options.ini");
    }
    void TearDown() override { here.reset(); }
    void WriteOptions(const std::string& text) { folder.WriteText("options.ini", text); }
    std::string Stored(const char* section, const char* key) {
        char value[256] = {};
        GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, "..\\options.ini");
        return value;
    }

    testkit::TempFolder folder{"ludora-roster"};
    std::unique_ptr<testkit::CurrentFolder> here;
    PlayerRoster roster;
};

TEST_F(RosterFolder, AMissingFileGivesEightDefaultPlayers) {
    EXPECT_EQ(roster.ReadCurrent(), 0);
    for (int n = 0; n < 8; ++n) {
        const PlayerRecord& player = roster.Player(n);
        EXPECT_EQ(std::string(player.name), "Player" + std::to_string(n + 1));
        EXPECT_STREQ(player.address, "");
        EXPECT_STREQ(player.email, "");
        EXPECT_STREQ(player.send, "Y");
    }
}

TEST_F(RosterFolder, ReadsTheSharedFileOneFolderUp) {
    WriteOptions("[setup]\r\nplayerid=5\r\nmusic=N\r\n[Player6]\r\nname=Mira Holt\r\n"
                 "address=12 Quay Street\r\nemail=mira@example.org\r\nsend=N\r\n");
    EXPECT_EQ(roster.ReadCurrent(), 5);
    EXPECT_EQ(roster.current, 5);
    const PlayerRecord& player = roster.Player(5);
    EXPECT_STREQ(player.name, "Mira Holt");
    EXPECT_STREQ(player.address, "12 Quay Street");
    EXPECT_STREQ(player.email, "mira@example.org");
    EXPECT_STREQ(player.send, "N");
}

TEST_F(RosterFolder, APlayerNumberOutsideTheRosterReadsAsTheFirst) {
    for (const char* stored : {"9", "-1", "8", "banana", "2147483648"}) {
        WriteOptions(std::string("[setup]\r\nplayerid=") + stored + "\r\n");
        roster.current = 4;
        EXPECT_EQ(roster.ReadCurrent(), 0) << stored;
        EXPECT_EQ(roster.current, 0) << stored;
    }
    WriteOptions("[setup]\r\nplayerid=7\r\n");
    EXPECT_EQ(roster.ReadCurrent(), 7);
}

TEST_F(RosterFolder, LongFieldsAreCutAtSixtyThreeCharacters) {
    const std::string longName(100, 'n');
    const std::string longMail(80, 'm');
    WriteOptions("[Player1]\r\nname=" + longName + "\r\nemail=" + longMail + "\r\nsend=YES\r\n");
    const PlayerRecord& player = roster.Player(0);
    EXPECT_EQ(std::string(player.name), longName.substr(0, 63));
    EXPECT_EQ(std::string(player.email), longMail.substr(0, 63));
    EXPECT_STREQ(player.send, "Y"); // one character and its terminator
}

TEST_F(RosterFolder, ComposeJoinsTheFourFieldsWithColons) {
    WriteOptions("[Player1]\r\nname=Ann\r\naddress=\r\nemail=\r\nsend=N\r\n");
    char out[256];
    std::memset(out, 'x', sizeof out);
    roster.Compose(0, out);
    EXPECT_STREQ(out, "Ann:::N");
    roster.Compose(3, out);
    EXPECT_STREQ(out, "Player4:::Y");
}

TEST_F(RosterFolder, ResetPlayerRewritesOnlyItsOwnSection) {
    WriteOptions("[Player2]\r\nname=Keep\r\n[Player3]\r\nname=Bob\r\naddress=Harbour 1\r\n"
                 "email=bob@example.org\r\nsend=N\r\n");
    roster.ResetPlayer(2);
    EXPECT_EQ(Stored("Player3", "name"), "Player3");
    EXPECT_EQ(Stored("Player3", "address"), "");
    EXPECT_EQ(Stored("Player3", "email"), "");
    EXPECT_EQ(Stored("Player3", "send"), "Y");
    EXPECT_EQ(Stored("Player2", "name"), "Keep");
    EXPECT_STREQ(roster.players[2].name, "Player3");
}

TEST_F(RosterFolder, WritingStoresAndReadsBack) {
    roster.WriteCurrent(3);
    EXPECT_EQ(roster.current, 3);
    EXPECT_EQ(Stored("setup", "playerid"), "3");

    PlayerRecord record{};
    // A name field filled to the brim, without a terminator.
    std::memset(record.name, 'Q', sizeof record.name);
    std::strcpy(record.address, "Dock Lane");
    std::strcpy(record.send, "N");
    roster.WritePlayer(6, record);
    EXPECT_EQ(Stored("Player7", "name"), std::string(63, 'Q'));
    EXPECT_EQ(Stored("Player7", "address"), "Dock Lane");
    EXPECT_EQ(Stored("Player7", "email"), "");
    EXPECT_EQ(Stored("Player7", "send"), "N");
    EXPECT_EQ(std::string(roster.players[6].name), std::string(63, 'Q'));

    roster.ResetAll();
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(Stored(("Player" + std::to_string(n + 1)).c_str(), "name"),
                  "Player" + std::to_string(n + 1));
    }
}

TEST_F(RosterFolder, NumbersOutsideTheRosterTouchNothing) {
    PlayerRecord record{};
    std::strcpy(record.name, "Ghost");
    roster.WritePlayer(8, record);
    roster.WritePlayer(-1, record);
    roster.ResetPlayer(12);
    EXPECT_EQ(Stored("Player9", "name"), "<missing>");
    EXPECT_EQ(Stored("Player0", "name"), "<missing>");
    char out[256] = "unchanged";
    roster.Compose(-3, out);
    EXPECT_STREQ(out, "");
    // Out of range reads the first slot rather than beyond the roster.
    EXPECT_STREQ(roster.Player(40).name, "Player1");
}

TEST_F(RosterFolder, WithoutAPathNothingIsReadOrWritten) {
    WriteOptions("[setup]\r\nplayerid=4\r\n");
    PlayerRoster unset;
    unset.current = 6;
    EXPECT_EQ(unset.ReadCurrent(), 0);
    unset.WriteCurrent(2);
    unset.ResetAll();
    EXPECT_EQ(Stored("setup", "playerid"), "4");
    EXPECT_EQ(Stored("Player1", "name"), "<missing>");
    EXPECT_STREQ(unset.Player(1).name, "");
}

TEST_F(RosterFolder, ADamagedFileGivesDefaults) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) {
        junk += static_cast<char>((i * 37 + 11) & 0xFF);
    }
    WriteOptions(junk);
    EXPECT_EQ(roster.ReadCurrent(), 0);
    const PlayerRecord& player = roster.Player(1);
    EXPECT_LT(std::strlen(player.name), sizeof player.name);
    EXPECT_LT(std::strlen(player.send), sizeof player.send);
}

} // namespace
