// Plain C stdio with Windows paths, as the programs call it after including windows.h.
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

TEST(StdioOpen, FopenResolvesWindowsPathsWithoutRegardToCase) {
    testkit::WorkingFolder folder{"ludora-kernel"};
    testkit::WriteText("Ludora/Title/BackButton.bmp", "BM");
    std::filesystem::create_directories("Ludora/Pearlwreck");
    ASSERT_TRUE(SetCurrentDirectoryA("Ludora\\Pearlwreck"));

    FILE* file = std::fopen("..\\title\\backbutton.bmp", "rb");
    ASSERT_NE(file, nullptr);
    char text[3] = {};
    EXPECT_EQ(std::fread(text, 1, 2, file), 2u);
    EXPECT_STREQ(text, "BM");
    std::fclose(file);

    // Writing creates the file under the given name inside the folder found.
    file = std::fopen("..\\TITLE\\hiscore.dat", "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("scores", file);
    std::fclose(file);
    EXPECT_EQ(testkit::ReadText(folder.path.string() + "/Ludora/Title/hiscore.dat"), "scores");

    file =
        std::freopen("..\\Title\\HISCORE.DAT", "rb", std::fopen("..\\title\\BackButton.bmp", "rb"));
    ASSERT_NE(file, nullptr);
    char line[16] = {};
    EXPECT_NE(std::fgets(line, sizeof line, file), nullptr);
    EXPECT_STREQ(line, "scores");
    std::fclose(file);

    EXPECT_EQ(std::fopen("..\\nowhere\\x.bmp", "rb"), nullptr);
}
