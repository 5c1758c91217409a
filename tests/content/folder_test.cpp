// The staged launcher folder holds every file the launcher and the game open, under the names
// they use, and their settings start windowed.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "content_files.h"

using namespace content_test;

namespace {

const std::vector<std::string> kLauncherFiles = {"setup.ini",
                                                 "background.bmp",
                                                 "PageArrowsLeft.bmp",
                                                 "PageArrowsRight.bmp",
                                                 "Info.bmp",
                                                 "SmallExit.bmp",
                                                 "GameButton.bmp",
                                                 "CollectButton.bmp",
                                                 "PageNumbers.bmp",
                                                 "infoscreen.bmp",
                                                 "backbutton.bmp",
                                                 "BackButton.bmp",
                                                 "HowToPlayButton.bmp",
                                                 "PlayButton.bmp",
                                                 "HighScoresButton.bmp",
                                                 "MenuButton.bmp",
                                                 "CreditsButton.bmp",
                                                 "ExitButton.bmp",
                                                 "PlayersButton.bmp",
                                                 "sfx.bmp",
                                                 "music.bmp",
                                                 "n_font.bmp",
                                                 "h_font.bmp",
                                                 "blockcursor.bmp",
                                                 "HallOfFameScreen.bmp",
                                                 "HallBlackFont.bmp",
                                                 "HallPurpleFont.bmp",
                                                 "UploadButton.bmp",
                                                 "ClearScores.bmp",
                                                 "PlayerInfo.bmp",
                                                 "EnterButton.bmp",
                                                 "RemoveButton.bmp",
                                                 "yesno.bmp",
                                                 "Title\\TovikSplash.bmp",
                                                 "Title\\TovikCredit.bmp",
                                                 "sounds\\music.wav"};

std::vector<std::string> game_files() {
    std::vector<std::string> files = {"LudoraButton.bmp",
                                      "setup.ini",
                                      "islands.dat",
                                      "background.bmp",
                                      "tileset.bmp",
                                      "islands.bmp",
                                      "scores.bmp",
                                      "NumberFont.bmp",
                                      "turnbonus3.bmp",
                                      "turnbonus6.bmp",
                                      "turnbonus9.bmp",
                                      "turnbonus12.bmp",
                                      "turnbonus15.bmp",
                                      "gameover.bmp",
                                      "congrats.bmp",
                                      "hallfamepop.bmp",
                                      "help.bmp",
                                      "newgame.bmp",
                                      "menu.bmp",
                                      "exit.bmp",
                                      "title\\titlebackground.bmp",
                                      "title\\HowToPlay.bmp",
                                      "title\\Credits.bmp",
                                      "Title\\TovikSplash.bmp",
                                      "Title\\TovikCredit.bmp",
                                      "sounds\\search01.wav",
                                      "sounds\\02.wav",
                                      "sounds\\03.wav",
                                      "sounds\\04.wav",
                                      "sounds\\05.wav",
                                      "sounds\\06.wav",
                                      "sounds\\09.wav",
                                      "sounds\\11.wav",
                                      "sounds\\13.wav",
                                      "sounds\\12.wav",
                                      "sounds\\endlevel.wav",
                                      "sounds\\music.wav"};
    for (int n = 1; n <= 9; ++n) {
        files.push_back(numbered("round", n, ".bmp"));
        files.push_back(numbered("round", n, "small.bmp"));
    }
    for (int k = 1; k <= 5; ++k)
        files.push_back(numbered("g", k, ".bmp"));
    return files;
}

// The game folder's name in front of a file name.
std::string in_game(const std::string& name) {
    std::string path = "Pearlwreck\\";
    path.append(name);
    return path;
}

} // namespace

TEST(StagedFolder, HoldsEveryFileUnderTheNamesTheProgramsUse) {
    for (const std::string& name : kLauncherFiles)
        EXPECT_FALSE(resolve(name).empty()) << name;
    for (const std::string& name : game_files())
        EXPECT_FALSE(resolve(in_game(name)).empty()) << name;
}

TEST(StagedFolder, SpellsEachFolderOnceWhateverCaseTheProgramsUse) {
    // "title" and "Title" name one folder; two spellings on disk would split the pictures.
    for (const char* folder : {LUDORA_DIST_DIR, LUDORA_DIST_DIR "/Pearlwreck"}) {
        int title_folders = 0, back_buttons = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::string name = entry.path().filename().string();
            for (char& c : name)
                c = char(std::tolower(static_cast<unsigned char>(c)));
            title_folders += name == "title";
            back_buttons += name == "backbutton.bmp";
        }
        EXPECT_EQ(title_folders, 1) << folder;
        EXPECT_LE(back_buttons, 1) << folder;
    }
}

TEST(StagedFolder, MarksTheGameFolderForTheLauncher) {
    // The launcher takes a folder as a game when it holds this picture.
    EXPECT_FALSE(resolve("Pearlwreck\\LudoraButton.bmp").empty());
    Picture button = picture("Pearlwreck\\LudoraButton.bmp");
    Picture slot = picture("GameButton.bmp");
    EXPECT_EQ(button.width, slot.width / 3);
    EXPECT_EQ(button.height, slot.height);
}

TEST(StagedFolder, SettingsStartWindowed) {
    for (const char* name : {"setup.ini", "Pearlwreck\\setup.ini"}) {
        std::vector<char> bytes = read_bytes(name);
        std::string text(bytes.begin(), bytes.end());
        EXPECT_NE(text.find("[setup]"), std::string::npos) << name;
        EXPECT_NE(text.find("fullscreen=0"), std::string::npos) << name;
        EXPECT_EQ(text.find("fullscreen=1"), std::string::npos) << name;
    }
}
