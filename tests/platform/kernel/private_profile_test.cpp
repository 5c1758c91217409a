// Private-profile files: the behaviours Windows shows, checked byte for byte.
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <random>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const kIni = ".\\test.ini";

// The file most read tests use: four entries (one without "=") and an empty section.
void write_standard_file(const std::string& newline = "\r\n") {
    testkit::WriteText("test.ini", "[section1]" + newline + "name1=val1" + newline +
                                       "name2=\"val2\"" + newline + "name3" + newline + "name4=a" +
                                       newline + "[section2]" + newline);
}

std::string get(const char* section, const char* key, const char* fallback = "default",
                const char* file = kIni) {
    char buffer[256];
    const DWORD length =
        GetPrivateProfileStringA(section, key, fallback, buffer, sizeof buffer, file);
    EXPECT_EQ(length, std::strlen(buffer));
    return std::string(buffer, length);
}

std::string list(DWORD returned, const char* buffer) {
    return std::string(buffer, returned);
}

class PrivateProfile : public ::testing::Test {
protected:
    testkit::WorkingFolder folder{"ludora-kernel"};
};

} // namespace

TEST_F(PrivateProfile, ReadsValuesWithWindowsParsing) {
    for (const std::string newline : {"\r\n", "\r", "\n"}) {
        write_standard_file(newline);
        EXPECT_EQ(get("section1", "name1"), "val1");
        EXPECT_EQ(get("SECTION1", "NaMe1"), "val1");
        EXPECT_EQ(get("section1", "name2"), "val2");
        EXPECT_EQ(get("section1", "name3"), "default");
        EXPECT_EQ(get("section1", "name4"), "a");
        EXPECT_EQ(get("section2", "name1", ""), "");
    }
    testkit::WriteText("test.ini", std::string("; settings\r\n[ Options ]\r\n  Music =  Y  \r\n"
                                               "Title = 'quoted'\r\nempty=\r\n=no key\r\n") +
                                       std::string(1, '\0'));
    EXPECT_EQ(get("options", "music"), "Y");
    EXPECT_EQ(get("Options", "title"), "quoted");
    EXPECT_EQ(get("Options", "empty"), "");
    EXPECT_EQ(get("Options", ""), "no key");
    EXPECT_EQ(get("Options", "; settings"), "default");

    // Lines before the first section belong to none; "" names only a "[]" header.
    testkit::WriteText(
        "test.ini",
        "\r\nkey=val_no_section\r\n[]\r\nkey=val_e_section\r\n[s]\r\n=val_no_key\r\n[t]\r\n");
    EXPECT_EQ(get("", "key"), "val_e_section");
}

TEST_F(PrivateProfile, DefaultsAndMissingThings) {
    write_standard_file();
    EXPECT_EQ(get("section1", "missing"), "default");
    EXPECT_EQ(get("missing", "name1"), "default");
    EXPECT_EQ(get("section1", "name1", "default", ".\\absent.ini"), "default");
    EXPECT_EQ(get("section1", "name1", "default", nullptr), "default");
    EXPECT_EQ(get("section1", "name1", "default", ""), "default");
    EXPECT_EQ(get("section1", "missing", nullptr), "");
    EXPECT_EQ(get("section1", "missing", "default  "), "default");
    EXPECT_EQ(get("section1", "missing", "one two  "), "one two");
    EXPECT_EQ(get("", "name1"), "default");
    EXPECT_EQ(get("section1", ""), "default");
}

TEST_F(PrivateProfile, ValuesAreCutToTheBuffer) {
    write_standard_file();
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetPrivateProfileStringA("section1", "name1", "", buffer, 0, kIni), 0u);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(GetPrivateProfileStringA("section1", "name1", "", buffer, 4, kIni), 3u);
    EXPECT_STREQ(buffer, "val");
    EXPECT_EQ(GetPrivateProfileStringA("section1", "name1", "", buffer, 5, kIni), 4u);
    EXPECT_STREQ(buffer, "val1");
    EXPECT_EQ(GetPrivateProfileStringA("section1", "name4", "", buffer, 1, kIni), 0u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(GetPrivateProfileStringA("section1", "missing", "default", buffer, 4, kIni), 3u);
    EXPECT_STREQ(buffer, "def");
}

TEST_F(PrivateProfile, ListsNamesAndCutsThemLikeWindows) {
    write_standard_file();
    char buffer[64];
    DWORD got =
        GetPrivateProfileStringA(nullptr, "ignored", "ignored", buffer, sizeof buffer, kIni);
    EXPECT_EQ(list(got + 1, buffer), std::string("section1\0section2\0\0", 18 + 1));
    got = GetPrivateProfileStringA("section1", nullptr, "ignored", buffer, sizeof buffer, kIni);
    EXPECT_EQ(got, 18u);
    EXPECT_EQ(list(got + 1, buffer), std::string("name1\0name2\0name4\0\0", 19));
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, nullptr, buffer, 16, kIni), 14u);
    EXPECT_EQ(list(16, buffer), std::string("section1\0secti\0\0", 16));
    EXPECT_EQ(GetPrivateProfileStringA("section1", nullptr, nullptr, buffer, 16, kIni), 14u);
    EXPECT_EQ(list(16, buffer), std::string("name1\0name2\0na\0\0", 16));

    testkit::WriteText("test.ini", "[ section1 ]\r\n[section2]\r\n[section3]\r\n");
    EXPECT_EQ(GetPrivateProfileSectionNamesA(buffer, 29, kIni), 27u);
    EXPECT_STREQ(buffer, "section1");
    EXPECT_EQ(GetPrivateProfileSectionNamesA(buffer, 28, kIni), 26u);
    EXPECT_EQ(list(28, buffer), std::string("section1\0section2\0section3\0\0", 28));
    EXPECT_EQ(GetPrivateProfileSectionNamesA(buffer, 27, kIni), 25u);
    EXPECT_EQ(list(27, buffer), std::string("section1\0section2\0section\0\0", 27));
    EXPECT_EQ(GetPrivateProfileSectionNamesA(buffer, 5, kIni), 3u);
    EXPECT_EQ(list(5, buffer), std::string("sec\0\0", 5));

    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetPrivateProfileSectionNamesA(buffer, 10, ".\\absent.ini"), 0u);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], 'x');
}

TEST_F(PrivateProfile, SectionsComeBackLineByLine) {
    testkit::WriteText("test.ini",
                       "[section1]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n[empty]\r\n");
    char buffer[64];
    SetLastError(12345);
    EXPECT_EQ(GetPrivateProfileSectionA("section1", buffer, sizeof buffer, kIni), 35u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(list(36, buffer), std::string("name1=val1\0name2=\0name3\0name4=val4\0\0", 36));
    EXPECT_EQ(GetPrivateProfileSectionA("section1", buffer, 24, kIni), 22u);
    EXPECT_EQ(list(24, buffer), std::string("name1=val1\0name2=\0name\0\0", 24));
    EXPECT_EQ(GetPrivateProfileSectionA("section1", buffer, 5, kIni), 3u);
    EXPECT_EQ(list(5, buffer), std::string("nam\0\0", 5));
    EXPECT_EQ(GetPrivateProfileSectionA("empty", buffer, sizeof buffer, kIni), 0u);
    EXPECT_EQ(GetPrivateProfileSectionA(nullptr, buffer, sizeof buffer, kIni), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(PrivateProfile, IntegersParseLikeWindows) {
    const std::pair<const char*, UINT> cases[] = {
        {"-1", 0xFFFFFFFFu},  {"1", 1u},           {"+1", 1u},
        {"4294967296", 0u},   {"4294967297", 1u},  {"-4294967297", 0xFFFFFFFFu},
        {"42A94967297", 42u}, {"B4294967297", 0u}, {" 12 ", 12u},
    };
    for (const auto& [text, expected] : cases) {
        testkit::WriteText("test.ini", std::string("[Test]\nProfileInt=") + text + "\n");
        EXPECT_EQ(GetPrivateProfileIntA("Test", "ProfileInt", -1, kIni), expected) << text;
        EXPECT_EQ(GetPrivateProfileIntA("test", "profileint", 1, kIni), expected) << text;
    }
    EXPECT_EQ(GetPrivateProfileIntA("Test", "missing", 421, kIni), 421u);
    EXPECT_EQ(GetPrivateProfileIntA(nullptr, "ProfileInt", 7, kIni), 7u);
    EXPECT_EQ(GetPrivateProfileIntA("Test", nullptr, 7, kIni), 7u);
    EXPECT_EQ(GetPrivateProfileIntA(nullptr, nullptr, 7, nullptr), 0u);
    // A change to the file is seen at once; a deleted file gives the default.
    testkit::WriteText("test.ini", "[Test]\r\nProfileInt=123\r\n");
    EXPECT_EQ(GetPrivateProfileIntA("Test", "ProfileInt", 0, kIni), 123u);
    testkit::WriteText("test.ini", "[Test]\r\nProfileInt=124\r\n");
    EXPECT_EQ(GetPrivateProfileIntA("Test", "ProfileInt", 0, kIni), 124u);
    std::filesystem::remove("test.ini");
    EXPECT_EQ(GetPrivateProfileIntA("Test", "ProfileInt", 421, kIni), 421u);
}

// A writer killed halfway leaves its hidden temporary file; the next good write
// takes away the ones a minute old and leaves everything else alone.
TEST_F(PrivateProfile, AGoodWriteTakesAwayTemporariesOfKilledWriters) {
    namespace fs = std::filesystem;
    const auto age = [](const char* name) {
        fs::last_write_time(name, fs::file_time_type::clock::now() - std::chrono::minutes(2));
    };
    for (const char* name : {".test.ini.Ab3XyZ", ".test.ini.qq9Q00", ".test.ini.longer1",
                             ".other.ini.Ab3XyZ", "test.ini.Ab3XyZ"}) {
        testkit::WriteText(name, "[half");
        age(name);
    }
    testkit::WriteText(".test.ini.young1", "[half");
    fs::create_directory(".test.ini.Folder");
    age(".test.ini.Folder");

    EXPECT_TRUE(WritePrivateProfileStringA("App", "key", "value", kIni));
    EXPECT_EQ(testkit::ReadText("test.ini"), "[App]\r\nkey=value\r\n");
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator("."))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(left,
              (std::set<std::string>{"test.ini", ".test.ini.longer1", ".other.ini.Ab3XyZ",
                                     "test.ini.Ab3XyZ", ".test.ini.young1", ".test.ini.Folder"}));
}

TEST_F(PrivateProfile, WritesAppendKeysToTheirSectionAndSectionsToTheEnd) {
    EXPECT_TRUE(WritePrivateProfileStringA("App", "key", "", kIni));
    EXPECT_EQ(testkit::ReadText("test.ini"), "[App]\r\nkey=\r\n");
    std::filesystem::remove("test.ini");

    EXPECT_TRUE(WritePrivateProfileStringA("App1", "key1", "string1", kIni));
    EXPECT_TRUE(WritePrivateProfileStringA("App2", "key4", "string4", kIni));
    EXPECT_TRUE(WritePrivateProfileStringA("App1", "key2", "string2", kIni));
    EXPECT_TRUE(WritePrivateProfileStringA("App3", "key5", "string5", kIni));
    EXPECT_TRUE(WritePrivateProfileStringA("app1", "key3", "string3", kIni));
    const std::string full = "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n"
                             "[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n";
    EXPECT_EQ(testkit::ReadText("test.ini"), full);

    // A null value deletes the key, and only that line; again, nothing changes.
    EXPECT_TRUE(WritePrivateProfileStringA("App1", "KEY2", nullptr, kIni));
    const std::string without_key2 = "[App1]\r\nkey1=string1\r\nkey3=string3\r\n"
                                     "[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n";
    EXPECT_EQ(testkit::ReadText("test.ini"), without_key2);
    EXPECT_TRUE(WritePrivateProfileStringA("App1", "key2", nullptr, kIni));
    EXPECT_EQ(testkit::ReadText("test.ini"), without_key2);

    // A null key deletes the section, whatever the value.
    EXPECT_TRUE(WritePrivateProfileStringA("App1", nullptr, "string1", kIni));
    EXPECT_TRUE(WritePrivateProfileStringA("App2", nullptr, nullptr, kIni));
    EXPECT_EQ(testkit::ReadText("test.ini"), "[App3]\r\nkey5=string5\r\n");
    EXPECT_TRUE(WritePrivateProfileStringA("App3", "key5", nullptr, kIni));
    EXPECT_EQ(testkit::ReadText("test.ini"), "[App3]\r\n");
}

TEST_F(PrivateProfile, RewritingKeepsEverythingElseByteForByte) {
    const std::string before = "; Ludora settings\r\n[Players]\r\nplayer1 = Anna ; first\r\n\r\n"
                               "[Sound]\nMusic=Y\nSFX=Y\n";
    testkit::WriteText("test.ini", before);
    EXPECT_TRUE(WritePrivateProfileStringA("players", "PLAYER1", "Ben", kIni));
    EXPECT_TRUE(WritePrivateProfileStringA("Players", "player2", "Cleo", kIni));
    EXPECT_TRUE(WritePrivateProfileStringA("sound", "music", "N", kIni));
    EXPECT_EQ(testkit::ReadText("test.ini"), "; Ludora settings\r\n[Players]\r\nplayer1=Ben\r\n"
                                             "player2=Cleo\r\n\r\n[Sound]\nMusic=N\nSFX=Y\n");

    // Bytes before the first section, NULs included and with no line end, stay.
    const std::string data("Data \0 before \0 first \0 section", 31);
    testkit::WriteText("test.ini", data);
    EXPECT_TRUE(WritePrivateProfileStringA("section1", "key1", "string1", kIni));
    EXPECT_EQ(testkit::ReadText("test.ini"), data + "\r\n[section1]\r\nkey1=string1\r\n");
    EXPECT_EQ(testkit::ReadText("test.ini").size(), 59u);

    // A line break in a value cannot smuggle in lines of its own.
    EXPECT_TRUE(WritePrivateProfileStringA("section1", "key2", "x\r\n[evil]\r\ny=1", kIni));
    EXPECT_EQ(get("section1", "key2"), "x");
    EXPECT_EQ(get("evil", "y"), "default");
}

TEST_F(PrivateProfile, RefusedAndDeletingWrites) {
    EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "key", "value", kIni));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(std::filesystem::exists("test.ini"));
    testkit::WriteText("test.ini", "");
    EXPECT_FALSE(WritePrivateProfileStringA(nullptr, nullptr, nullptr, kIni));
    EXPECT_EQ(testkit::ReadText("test.ini"), "");
    EXPECT_FALSE(WritePrivateProfileStringA("App", "key", "value", ""));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));

    // Deleting from a file that does not exist succeeds and leaves it empty.
    EXPECT_TRUE(WritePrivateProfileStringA("App", nullptr, "string", ".\\gone1.ini"));
    EXPECT_TRUE(WritePrivateProfileStringA("App", "key", nullptr, ".\\gone2.ini"));
    EXPECT_EQ(testkit::ReadText("gone1.ini"), "");
    EXPECT_TRUE(std::filesystem::exists("gone2.ini"));
    EXPECT_EQ(std::filesystem::file_size("gone2.ini"), 0u);

    // A folder that is not there, or a folder in the file's place: refused, nothing lost.
    EXPECT_FALSE(WritePrivateProfileStringA("App", "key", "value", ".\\nowhere\\x.ini"));
    testkit::WriteText("locked.ini", "[App]\r\nkey=old\r\n");
    ::chmod("locked.ini", 0444);
    EXPECT_FALSE(WritePrivateProfileStringA("App", "key", "new", ".\\locked.ini"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(testkit::ReadText("locked.ini"), "[App]\r\nkey=old\r\n");
    std::filesystem::create_directory("folder.ini");
    EXPECT_FALSE(WritePrivateProfileStringA("App", "key", "value", ".\\folder.ini"));
    EXPECT_TRUE(std::filesystem::is_directory("folder.ini"));
}

TEST_F(PrivateProfile, WritesLeaveNoTemporaryFilesAndKeepPermissions) {
    testkit::WriteText("options.ini", "[Sound]\r\nMusic=Y\r\n");
    ::chmod("options.ini", 0640);
    std::filesystem::create_directory("Pearlwreck");
    ASSERT_TRUE(SetCurrentDirectoryA("Pearlwreck"));
    for (int i = 0; i < 20; ++i) {
        EXPECT_TRUE(
            WritePrivateProfileStringA("sound", "music", i % 2 ? "Y" : "N", "..\\OPTIONS.INI"));
    }
    EXPECT_EQ(get("Sound", "Music", "", "..\\Options.ini"), "Y");
    size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path.string())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 2u); // options.ini and Pearlwreck only
    struct stat info;
    ASSERT_EQ(::stat((folder.path.string() + "/options.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(PrivateProfile, ABareNameIsRelativeToTheCurrentDirectory) {
    EXPECT_TRUE(WritePrivateProfileStringA("App", "key", "string", "win1.tmp"));
    EXPECT_EQ(testkit::ReadText("win1.tmp"), "[App]\r\nkey=string\r\n");
    EXPECT_EQ(get("app", "KEY", "", "WIN1.TMP"), "string");
}

TEST_F(PrivateProfile, GarbageFilesAreReadSafelyAndKeptWhenWritten) {
    std::mt19937 random(20260101);
    const char alphabet[] = "[]=;\"' \t\r\nabAB\0\xff";
    for (int round = 0; round < 60; ++round) {
        std::string garbage(random() % 300, ' ');
        for (char& c : garbage)
            c = alphabet[random() % (sizeof alphabet - 1)];
        testkit::WriteText("test.ini", garbage);
        char buffer[7];
        for (DWORD size : {1u, 2u, 3u, 7u}) {
            // Lists end in two NULs (one when the buffer holds one character).
            for (const char* section : {static_cast<const char*>(nullptr), "a"}) {
                const DWORD n = GetPrivateProfileStringA(section, nullptr, "", buffer, size, kIni);
                ASSERT_LT(n, size);
                EXPECT_EQ(buffer[n], '\0');
                EXPECT_TRUE(n == 0 || buffer[n - 1] == '\0' || buffer[n + 1] == '\0');
            }
            GetPrivateProfileStringA("a", "b", "fallback", buffer, size, kIni);
            EXPECT_EQ(buffer[std::strlen(buffer)], '\0');
            GetPrivateProfileSectionA("A", buffer, size, kIni);
        }
        // A new section goes after everything that was there, which stays byte for byte.
        ASSERT_TRUE(WritePrivateProfileStringA("Fresh Section", "key", "value", kIni));
        const std::string after = testkit::ReadText("test.ini");
        ASSERT_EQ(after.compare(0, garbage.size(), garbage), 0) << round;
        EXPECT_EQ(get("fresh section", "KEY"), "value") << round;
    }
}

// A writer killed at any moment of a write leaves the file as it was before that
// write or as it is after it, complete either way. The writer runs in a child
// process that reports each finished write; the kill lands somewhere inside the
// next one.
TEST_F(PrivateProfile, AWriterKilledMidWriteLeavesTheOldOrTheNewFile) {
    const std::string big_a(200000, 'a');
    const std::string big_b(200000, 'b');
    const std::string keep = "[Keep]\r\nname=Anna\r\n";
    const std::string with_a = keep + "[Big]\r\nvalue=" + big_a + "\r\n";
    const std::string with_b = keep + "[Big]\r\nvalue=" + big_b + "\r\n";
    for (int finished_writes = 0; finished_writes < 12; ++finished_writes) {
        testkit::WriteText("options.ini", with_a);
        int done[2];
        ASSERT_EQ(::pipe(done), 0);
        const pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            ::close(done[0]);
            for (int i = 1;; ++i) {
                const bool ok = WritePrivateProfileStringA(
                    "Big", "value", i % 2 ? big_b.c_str() : big_a.c_str(), ".\\OPTIONS.INI");
                if (!ok || ::write(done[1], "w", 1) != 1) ::_exit(1);
            }
        }
        ::close(done[1]);
        char mark;
        for (int i = 0; i < finished_writes; ++i)
            ASSERT_EQ(::read(done[0], &mark, 1), 1);
        ::kill(writer, SIGKILL);
        int status = 0;
        ::waitpid(writer, &status, 0);
        ::close(done[0]);
        const std::string now = testkit::ReadText("options.ini");
        EXPECT_TRUE(now == with_a || now == with_b)
            << "after " << finished_writes << " writes the file holds " << now.size() << " bytes";
        // Anything else the kill left behind is a hidden temporary, never the file's name.
        for (const auto& entry : std::filesystem::directory_iterator(".")) {
            const std::string name = entry.path().filename().string();
            if (name == "options.ini") continue;
            EXPECT_EQ(name.rfind(".options.ini.", 0), 0u) << name;
            std::filesystem::remove(entry.path());
        }
    }
}

// The host stops a write partway when the process may not make files larger:
// by killing the writer (as a crash would) or, with that signal ignored, by
// failing the write (as a full disk would). Either way the old file stays whole.
TEST_F(PrivateProfile, AWriteCutOffPartwayLeavesTheOldFileWhole) {
    const std::string old_file = "[Keep]\r\nname=Anna\r\n[Big]\r\nvalue=short\r\n";
    const std::string long_value(100000, 'z');
    for (const bool killed : {true, false}) {
        testkit::WriteText("options.ini", old_file);
        const pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            if (!killed) ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            const bool ok =
                WritePrivateProfileStringA("Big", "value", long_value.c_str(), ".\\options.ini");
            ::_exit(ok ? 0 : 3);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(writer, &status, 0), writer);
        if (killed) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3)
                << "the write reports failure";
        }
        EXPECT_EQ(testkit::ReadText("options.ini"), old_file);
    }
    // Without the limit the same write goes through.
    EXPECT_TRUE(WritePrivateProfileStringA("Big", "value", long_value.c_str(), ".\\options.ini"));
    EXPECT_EQ(testkit::ReadText("options.ini"),
              "[Keep]\r\nname=Anna\r\n[Big]\r\nvalue=" + long_value + "\r\n");
}
