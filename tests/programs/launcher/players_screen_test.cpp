// The players screen, opened from a title page for the current player:
// typing with Tab and Enter moving the focus, the send switch, "enter",
// "remove" and "back", and all eight players written back afterwards.
#include "launcher_test_support.h"

namespace {

using namespace launchertest;

class PlayersScreen : public LauncherProgram {
protected:
    fs::path Options() const { return dist_ / "options.ini"; }
    void Edit(const std::string& inside) {
        Run(Click(PlayersButton) + "wait 200\n" + inside, {"Pearlwreck"});
    }
    // The value of key in section, as the file holds it (empty when missing).
    std::string Value(const std::string& section, const std::string& key) const {
        bool inSection = false;
        for (const std::string& line : ReadLines(Options())) {
            if (!line.empty() && line[0] == '[') {
                inSection = line == "[" + section + "]";
            } else if (inSection && line.rfind(key + "=", 0) == 0) {
                return line.substr(key.size() + 1);
            }
        }
        return std::string();
    }
    static std::string Type(const std::string& text) { return "type " + text + "\nwait 150\n"; }
    static std::string Key(const std::string& name) { return "key press " + name + "\nwait 150\n"; }
};

TEST_F(PlayersScreen, TabAndEnterMoveTheFocusAndEnterStoresAllThree) {
    WriteText(Options(), "[Player1]\nname=\n"); // present but empty: no default name
    Edit(Type("Zed") + Key("TAB") + Type("Road 1") + Key("RETURN") + Type("zed@x.org") +
         Click(EnterButton));
    EXPECT_EQ(Value("Player1", "name"), "Zed");
    EXPECT_EQ(Value("Player1", "address"), "Road 1");
    EXPECT_EQ(Value("Player1", "email"), "zed@x.org");
    EXPECT_EQ(Value("Player1", "send"), "Y");
    // All eight players are written back, the others with their defaults.
    for (int n = 2; n <= 8; ++n)
        EXPECT_EQ(Value("Player" + std::to_string(n), "name"), "Player" + std::to_string(n));
}

TEST_F(PlayersScreen, AClickOutsideTheFieldsGivesTheNameTheFocus) {
    // Focus on the e-mail field by clicking it, then a click elsewhere: typing goes to the name.
    Edit(Click({53 + 300, 18 + 416 + 13}) + Type("e") + Click({53 + 300, 18 + 150}) + Type("n") +
         Click(EnterButton));
    EXPECT_EQ(Value("Player1", "email"), "e");
    EXPECT_EQ(Value("Player1", "name"), "Player1n");
}

TEST_F(PlayersScreen, BackKeepsTheFile) {
    WriteText(Options(), "[setup]\nplayerid=2\n[Player3]\nname=Ann Lee\naddress=Sea Road\n"
                         "email=ann@x.org\nsend=N\n");
    Edit(Type("xyz") + Key("TAB") + Type("abc") + Click(PlayersBackButton));
    EXPECT_EQ(Value("Player3", "name"), "Ann Lee");
    EXPECT_EQ(Value("Player3", "address"), "Sea Road");
    EXPECT_EQ(Value("Player3", "email"), "ann@x.org");
    EXPECT_EQ(Value("Player3", "send"), "N");
    EXPECT_EQ(Value("setup", "playerid"), "2");
}

TEST_F(PlayersScreen, RemoveResetsTheSlotAndTheTitleShowsTheDefaultName) {
    WriteText(Options(), "[setup]\nplayerid=2\n[Player3]\nname=Ann\naddress=Sea Road\n"
                         "email=ann@x.org\nsend=N\n");
    Edit(Click(RemoveButton) + "wait 200\n" + Shot(shots_ / "removed.bmp"));
    EXPECT_EQ(Value("Player3", "name"), "Player3");
    EXPECT_EQ(Value("Player3", "address"), "");
    EXPECT_EQ(Value("Player3", "email"), "");
    EXPECT_EQ(Value("Player3", "send"), "Y");
    // The title page shows the same as with a fresh file.
    fs::remove(Options());
    WriteText(Options(), "[setup]\nplayerid=2\n");
    Run(Shot(shots_ / "fresh.bmp"), {"Pearlwreck"});
    EXPECT_TRUE(SameArea(ReadBmp(shots_ / "removed.bmp"), ReadBmp(shots_ / "fresh.bmp"), 238, 420,
                         150, 30));
}

TEST_F(PlayersScreen, SwitchingSendTwiceLeavesItAsItWas) {
    WriteText(Options(), "[Player1]\nname=Ann\nsend=N\n");
    Edit(Click(YesNoSwitch) + Click(YesNoSwitch) + Click(EnterButton));
    EXPECT_EQ(Value("Player1", "send"), "N");
    Edit(Click(YesNoSwitch) + Click(EnterButton));
    EXPECT_EQ(Value("Player1", "send"), "Y");
    EXPECT_EQ(Value("Player1", "name"), "Ann");
}

TEST_F(PlayersScreen, FieldsTakeAtMost62Characters) {
    Edit("type " + std::string(70, 'i') + "\nwait 300\n" + Click(EnterButton));
    const std::string name = Value("Player1", "name");
    // "Player1" and the "i"s: never more than 62 characters, and the field's width may end it
    // first.
    EXPECT_LE(name.size(), 62u);
    EXPECT_EQ(name.substr(0, 7), "Player1");
    EXPECT_GT(name.size(), 7u);
}

} // namespace
