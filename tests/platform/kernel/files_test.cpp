// Files and folders through the Win32 API, named the Windows way.
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

std::string read_all(HANDLE file) {
    std::string text;
    char buffer[64];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    return text;
}

HANDLE open_for_reading(const char* name) {
    return CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

TEST(WindowsPaths, OpensFilesWhoseCaseDiffersFromTheDisk) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    testkit::WriteText("Title/BackButton.bmp", "BM picture");
    std::filesystem::create_directory("Pearlwreck");
    ASSERT_TRUE(SetCurrentDirectoryA("pearlwreck"));

    for (const char* name :
         {"..\\Title\\BackButton.bmp", "..\\title\\backbutton.bmp", "..\\TITLE\\BACKBUTTON.BMP",
          ".\\..\\Title\\.\\backButton.bmp", "..\\missing\\..\\title\\BackButton.bmp"}) {
        HANDLE file = open_for_reading(name);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
        EXPECT_EQ(read_all(file), "BM picture") << name;
        EXPECT_TRUE(CloseHandle(file));
        EXPECT_EQ(GetFileAttributesA(name), DWORD(FILE_ATTRIBUTE_ARCHIVE)) << name;
    }
}

TEST(WindowsPaths, NewFilesGoIntoTheExistingFolderUnderTheirOwnSpelling) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    std::filesystem::create_directory("Title");
    HANDLE file = CreateFileA(".\\TITLE\\Scores.DAT", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    CloseHandle(file);
    EXPECT_TRUE(std::filesystem::exists("Title/Scores.DAT"));
    EXPECT_FALSE(std::filesystem::exists("TITLE"));
}

TEST(WindowsPaths, AnExactNameWinsOverOneThatDiffersInCase) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    testkit::WriteText("title/x.txt", "lower");
    testkit::WriteText("Title/x.txt", "upper");
    HANDLE file = open_for_reading("Title\\x.txt");
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(read_all(file), "upper");
    CloseHandle(file);
    file = open_for_reading("title\\x.txt");
    EXPECT_EQ(read_all(file), "lower");
    CloseHandle(file);
}

TEST(Files, WriteSeekAndReadBack) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    HANDLE file = CreateFileA("data.bin", GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, "0123456789", 10, &written, nullptr));
    EXPECT_EQ(written, 10u);
    EXPECT_EQ(GetFileSize(file, nullptr), 10u);
    DWORD high = 99;
    EXPECT_EQ(GetFileSize(file, &high), 10u);
    EXPECT_EQ(high, 0u);

    EXPECT_EQ(SetFilePointer(file, 2, nullptr, FILE_BEGIN), 2u);
    EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_CURRENT), 5u);
    char buffer[8] = {};
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(file, buffer, 3, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "567");
    EXPECT_EQ(SetFilePointer(file, -4, nullptr, FILE_END), 6u);
    ASSERT_TRUE(ReadFile(file, buffer, 8, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "6789");
    // End of file: success with nothing read.
    ASSERT_TRUE(ReadFile(file, buffer, 8, &got, nullptr));
    EXPECT_EQ(got, 0u);

    // A seek before the start fails and leaves the position alone.
    EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 10u);

    EXPECT_EQ(SetFilePointer(file, 4, nullptr, FILE_BEGIN), 4u);
    EXPECT_TRUE(SetEndOfFile(file));
    EXPECT_EQ(GetFileSize(file, nullptr), 4u);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(testkit::ReadText("data.bin"), "0123");
}

TEST(Files, OpenFailuresReportWindowsErrors) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    testkit::WriteText("there.txt", "x");
    std::filesystem::create_directory("sub");

    EXPECT_EQ(open_for_reading("absent.txt"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(open_for_reading("nowhere\\absent.txt"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(open_for_reading("sub"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(CreateFileA("there.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));

    // Replacing an existing file succeeds and says it existed.
    HANDLE file = CreateFileA("there.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(GetFileSize(file, nullptr), 0u);
    char byte = 0;
    DWORD got = 0;
    EXPECT_FALSE(ReadFile(file, &byte, 1, &got, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(CloseHandle(file));

    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(WriteFile(file, "x", 1, &got, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetFileAttributesA("absent.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST(Files, FolderAndWholeFileOperations) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    EXPECT_TRUE(CreateDirectoryA("Games", nullptr));
    EXPECT_FALSE(CreateDirectoryA("games", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryA("a\\b", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA("GAMES"), DWORD(FILE_ATTRIBUTE_DIRECTORY));

    testkit::WriteText("Games/one.txt", "first");
    testkit::WriteText("two.txt", "second");
    EXPECT_FALSE(CopyFileA("two.txt", "games\\ONE.txt", TRUE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));
    EXPECT_EQ(testkit::ReadText("Games/one.txt"), "first");
    EXPECT_TRUE(CopyFileA("two.txt", "games\\ONE.txt", FALSE));
    EXPECT_EQ(testkit::ReadText("Games/one.txt"), "second");

    EXPECT_FALSE(MoveFileA("two.txt", "Games\\one.txt"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(MoveFileA("TWO.TXT", "Games\\three.txt"));
    EXPECT_FALSE(std::filesystem::exists("two.txt"));
    EXPECT_EQ(testkit::ReadText("Games/three.txt"), "second");

    EXPECT_FALSE(DeleteFileA("Games"));
    EXPECT_TRUE(DeleteFileA("games\\THREE.txt"));
    EXPECT_FALSE(DeleteFileA("games\\three.txt"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(std::filesystem::exists("Games/three.txt"));
}

TEST(Files, UnwritableFilesReportReadOnly) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    testkit::WriteText("locked.dat", "x");
    ::chmod("locked.dat", 0444);
    EXPECT_EQ(GetFileAttributesA("LOCKED.DAT"),
              DWORD(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
}

TEST(CurrentDirectory, FollowsWindowsPathsAndReportsTheHostPath) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    std::filesystem::create_directories("Ludora/Pearlwreck");
    ASSERT_TRUE(SetCurrentDirectoryA(".\\ludora\\PEARLWRECK"));
    char path[MAX_PATH];
    const DWORD length = GetCurrentDirectoryA(sizeof path, path);
    EXPECT_EQ(std::string(path), folder.path.string() + "/Ludora/Pearlwreck");
    EXPECT_EQ(length, std::string(path).size());

    ASSERT_TRUE(SetCurrentDirectoryA(".."));
    char small[4] = {'k', 'e', 'e', 'p'};
    EXPECT_EQ(GetCurrentDirectoryA(sizeof small, small),
              (folder.path.string() + "/Ludora").size() + 1);
    EXPECT_EQ(std::string(small, 4), "keep");

    EXPECT_FALSE(SetCurrentDirectoryA("nowhere"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}
