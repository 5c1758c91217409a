// Directory searches: order, attributes, patterns and the end of a search.
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<std::string, DWORD>> search(const char* pattern) {
    std::vector<std::pair<std::string, DWORD>> found;
    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA(pattern, &data);
    if (handle == INVALID_HANDLE_VALUE) return found;
    do {
        found.emplace_back(data.cFileName, data.dwFileAttributes);
    } while (FindNextFileA(handle, &data));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(handle));
    return found;
}

std::vector<std::string> names(const std::vector<std::pair<std::string, DWORD>>& found) {
    std::vector<std::string> result;
    for (const auto& entry : found)
        result.push_back(entry.first);
    return result;
}

} // namespace

TEST(FindFiles, ListsDotEntriesFirstThenNamesWithoutRegardToCase) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    testkit::WriteText("zeta.ini", "");
    testkit::WriteText("Alpha.txt", "12345");
    testkit::WriteText("beta.ini", "");
    std::filesystem::create_directory("Pearlwreck");
    std::filesystem::create_directory(".cache");
    testkit::WriteText("locked.dat", "");
    ::chmod("locked.dat", 0444);

    const auto found = search("*");
    EXPECT_EQ(names(found), (std::vector<std::string>{".", "..", ".cache", "Alpha.txt", "beta.ini",
                                                      "locked.dat", "Pearlwreck", "zeta.ini"}));
    const DWORD dir = FILE_ATTRIBUTE_DIRECTORY;
    const DWORD file = FILE_ATTRIBUTE_ARCHIVE;
    EXPECT_EQ(found[0].second, dir);
    EXPECT_EQ(found[1].second, dir);
    EXPECT_EQ(found[2].second, dir | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(found[3].second, file);
    EXPECT_EQ(found[5].second, file | FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(found[6].second, dir);

    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA("ALPHA.TXT", &data);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "Alpha.txt");
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    EXPECT_NE(data.ftLastWriteTime.dwHighDateTime, 0u);
    EXPECT_FALSE(FindNextFileA(handle, &data));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
    FindClose(handle);
}

TEST(FindFiles, PatternsFollowWindowsRules) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    for (const char* name :
         {"setup.ini", "OPTIONS.INI", "readme", "readme.txt", "Makefile", "a.ini.bak", "ab.ini"}) {
        testkit::WriteText(name, "");
    }
    std::filesystem::create_directory("game");

    EXPECT_EQ(names(search("*.ini")),
              (std::vector<std::string>{"ab.ini", "OPTIONS.INI", "setup.ini"}));
    EXPECT_EQ(search("*.*").size(), 10u); // everything, dots included
    EXPECT_EQ(names(search("readme.*")), (std::vector<std::string>{"readme", "readme.txt"}));
    EXPECT_EQ(names(search("*.")),
              (std::vector<std::string>{".", "..", "game", "Makefile", "readme"}));
    EXPECT_EQ(names(search("??.ini")), (std::vector<std::string>{"ab.ini"}));

    ASSERT_TRUE(SetCurrentDirectoryA("game"));
    EXPECT_EQ(names(search("..\\*.INI")),
              (std::vector<std::string>{"ab.ini", "OPTIONS.INI", "setup.ini"}));
    EXPECT_EQ(search("..\\*.*").size(), 10u);
    // The launcher searches its own full path followed by "\\*".
    char path[MAX_PATH];
    GetCurrentDirectoryA(sizeof path, path);
    EXPECT_EQ(names(search((std::string(path) + "\\..\\*").c_str())).size(), 10u);
}

TEST(FindFiles, FailedSearchesSayWhy) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    WIN32_FIND_DATAA data;
    EXPECT_EQ(FindFirstFileA("*.ini", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindFirstFileA("missing\\*", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(FindNextFileA(INVALID_HANDLE_VALUE, &data));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    // A hostile pattern is answered promptly (no exponential matching).
    testkit::WriteText(std::string(200, 'a'), "");
    EXPECT_EQ(FindFirstFileA("*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b", &data), INVALID_HANDLE_VALUE);
}
