// Moving and replacing files, and full path names, named the Windows way.
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

ino_t inode_of(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

} // namespace

TEST(MovingFiles, KeepsAnExistingTargetUnlessAskedToReplaceIt) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    testkit::WriteText("Save/scores.new", "new scores");
    testkit::WriteText("Save/Scores.dat", "old scores");

    EXPECT_FALSE(MoveFileExA("save\\SCORES.NEW", "save\\scores.dat", 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(MoveFileExA("save\\SCORES.NEW", "save\\scores.dat", MOVEFILE_COPY_ALLOWED));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(testkit::ReadText("Save/scores.new"), "new scores");
    EXPECT_EQ(testkit::ReadText("Save/Scores.dat"), "old scores");

    // The replacement is the source file itself taking the target's name.
    const ino_t source = inode_of("Save/scores.new");
    EXPECT_TRUE(MoveFileExA("save\\SCORES.NEW", "save\\scores.dat", MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(std::filesystem::exists("Save/scores.new"));
    EXPECT_EQ(testkit::ReadText("Save/Scores.dat"), "new scores");
    EXPECT_EQ(inode_of("Save/Scores.dat"), source);
    EXPECT_FALSE(std::filesystem::exists("Save/scores.dat")) << "the existing spelling is kept";
}

TEST(MovingFiles, WriteThroughReplacesAndLeavesNothingBehind) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    testkit::WriteText("options.tmp", "[Options]\r\nMusic=Y\r\n");
    testkit::WriteText("options.ini", "[Options]\r\nMusic=N\r\n");
    EXPECT_TRUE(MoveFileExA(".\\options.tmp", ".\\OPTIONS.INI",
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(testkit::ReadText("options.ini"), "[Options]\r\nMusic=Y\r\n");
    size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        entries += entry.is_regular_file();
    EXPECT_EQ(entries, 1u);

    // Without a target the flags change nothing.
    testkit::WriteText("a.txt", "a");
    EXPECT_TRUE(MoveFileExA("A.TXT", "b.txt", MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(testkit::ReadText("b.txt"), "a");
}

TEST(MovingFiles, RefusesWhatWindowsRefuses) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    testkit::WriteText("source.txt", "source");
    testkit::WriteText("locked.txt", "locked");
    ::chmod("locked.txt", 0444);
    std::filesystem::create_directory("Folder");
    std::filesystem::create_directory("Other");

    EXPECT_FALSE(MoveFileExA("source.txt", "locked.txt", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(testkit::ReadText("locked.txt"), "locked");
    EXPECT_FALSE(MoveFileExA("source.txt", "folder", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(MoveFileExA("folder", "other", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(std::filesystem::is_directory("Other"));

    EXPECT_FALSE(MoveFileExA("missing.txt", "new.txt", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(MoveFileExA("nowhere\\missing.txt", "new.txt", 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(MoveFileExA(nullptr, "new.txt", 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(MoveFileExA("source.txt", "", 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    // 0x4 asks for a move at the next start of the machine, which never comes here.
    EXPECT_FALSE(MoveFileExA("source.txt", "new.txt", 0x4));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(testkit::ReadText("source.txt"), "source");

    // A folder moves under a new name when nothing is in the way.
    EXPECT_TRUE(MoveFileExA("FOLDER", "Renamed", 0));
    EXPECT_TRUE(std::filesystem::is_directory("Renamed"));
}

TEST(MovingFiles, CopiesToAnotherFileSystemOnlyWhenAllowed) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    struct stat here {
    }, there{};
    if (::stat("/dev/shm", &there) != 0 || ::stat(".", &here) != 0 || here.st_dev == there.st_dev)
        GTEST_SKIP() << "no second file system to move to";
    const testkit::TempFolder shared("ludora-move", "/dev/shm");
    if (!shared.Made()) GTEST_SKIP() << "no second file system to move to";
    const std::string other = shared.path.string();
    testkit::WriteText("music.wav", "RIFF data");
    testkit::WriteText(other + "/music.wav", "old");

    EXPECT_FALSE(
        MoveFileExA("music.wav", (other + "/music.wav").c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SAME_DEVICE));
    EXPECT_EQ(testkit::ReadText("music.wav"), "RIFF data");
    EXPECT_TRUE(
        MoveFileExA("music.wav", (other + "/music.wav").c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH));
    EXPECT_FALSE(std::filesystem::exists("music.wav"));
    EXPECT_EQ(testkit::ReadText(other + "/music.wav"), "RIFF data");

    // The plain move copies across file systems too, but never replaces.
    testkit::WriteText(other + "/back.txt", "back");
    EXPECT_TRUE(MoveFileA((other + "/back.txt").c_str(), "Back.txt"));
    EXPECT_EQ(testkit::ReadText("Back.txt"), "back");
}

TEST(FullPathNames, PutsTheCurrentDirectoryInFrontAndAppliesDotsByName) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    std::filesystem::create_directory("Ludora");
    ASSERT_TRUE(SetCurrentDirectoryA("ludora"));
    const std::string here = folder.path.string() + "/Ludora";

    char path[MAX_PATH];
    LPSTR file_part = nullptr;
    const std::string options = folder.path.string() + "/options.ini";
    EXPECT_EQ(GetFullPathNameA("..\\options.ini", sizeof path, path, &file_part), options.size());
    EXPECT_EQ(std::string(path), options);
    ASSERT_NE(file_part, nullptr);
    EXPECT_STREQ(file_part, "options.ini");

    // Names that do not exist are taken as written.
    const std::string game = here + "/Games/Pearlwreck/setup.ini";
    EXPECT_EQ(GetFullPathNameA(".\\Games\\missing\\..\\Pearlwreck\\.\\setup.ini", sizeof path, path,
                               nullptr),
              game.size());
    EXPECT_EQ(std::string(path), game);

    EXPECT_EQ(GetFullPathNameA("\\tmp\\..\\etc\\x", sizeof path, path, &file_part), 6u);
    EXPECT_EQ(std::string(path), "/etc/x");

    // A name ending in a separator has no file part.
    EXPECT_EQ(GetFullPathNameA("Games\\", sizeof path, path, &file_part), here.size() + 7);
    EXPECT_EQ(std::string(path), here + "/Games/");
    EXPECT_EQ(file_part, nullptr);
    EXPECT_EQ(GetFullPathNameA(".", sizeof path, path, nullptr), here.size());
    EXPECT_EQ(std::string(path), here);
}

TEST(FullPathNames, ASmallBufferGetsTheSizeNeededAndStaysUntouched) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    const std::string expected = folder.path.string() + "/hiscore.dat";
    char small[8] = {'k', 'e', 'e', 'p', 'i', 't', '!', '!'};
    EXPECT_EQ(GetFullPathNameA("hiscore.dat", sizeof small, small, nullptr), expected.size() + 1);
    EXPECT_EQ(std::string(small, 8), "keepit!!");
    EXPECT_EQ(GetFullPathNameA("hiscore.dat", 0, nullptr, nullptr), expected.size() + 1);
    std::vector<char> exact(expected.size() + 1);
    EXPECT_EQ(GetFullPathNameA("hiscore.dat", DWORD(exact.size()), exact.data(), nullptr),
              expected.size());
    EXPECT_EQ(std::string(exact.data()), expected);

    EXPECT_EQ(GetFullPathNameA("", sizeof small, small, nullptr), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_NAME));
    EXPECT_EQ(GetFullPathNameA(nullptr, sizeof small, small, nullptr), 0u);
}
