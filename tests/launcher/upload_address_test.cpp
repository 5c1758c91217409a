// The score upload's address and the command-line choice of a game, checked
// without the program.
#include "launcher/game_entry.h"
#include "launcher/upload_address.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Repeat(const std::string& text, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i)
        out += text;
    return out;
}

std::string Escape(const std::string& query) {
    char escaped[256];
    std::memset(escaped, 'X', sizeof escaped);
    EscapeQuery(query.c_str(), escaped);
    return escaped;
}

TEST(UploadAddress, EscapesExactlyTheListedCharacters) {
    EXPECT_EQ(Escape(" \"#%;<>?[\\]^{|}~"), "%20%22%23%25%3b%3c%3e%3f%5b%5c%5d%5e%7b%7c%7d%7e");
    EXPECT_EQ(Escape("game=a&name=b:c@d/e+f'g(h)*!,$"), "game=a&name=b:c@d/e+f'g(h)*!,$");
    // Bytes of 128 and above pass unchanged.
    EXPECT_EQ(Escape("\xE9t\xE9"), "\xE9t\xE9");
}

TEST(UploadAddress, TopScoreIsMaskedAndTheQueryFollowsThePath) {
    char address[1024];
    BuildUploadAddress("http://scores.example", "Pearlwreck", "", 0, address, sizeof address);
    EXPECT_STREQ(address,
                 "http://scores.example/cgi-bin/hiscore.cgi?game=Pearlwreck&name=&score=63161283");
    BuildUploadAddress("http://s", "G", "Ann Lee:a b:c@d:N", 1200, address, sizeof address);
    EXPECT_EQ(std::string(address),
              "http://s/cgi-bin/hiscore.cgi?game=G&name=Ann%20Lee:a%20b:c@d:N&score=" +
                  std::to_string(1200 ^ 0x3C3C3C3));
    // The mask leaves a sign bit as it is: negative scores stay negative.
    BuildUploadAddress("http://s", "G", "x", -5, address, sizeof address);
    EXPECT_EQ(std::string(address),
              "http://s/cgi-bin/hiscore.cgi?game=G&name=x&score=" + std::to_string(-5 ^ 0x3C3C3C3));
}

TEST(UploadAddress, LongQueriesAreCutWithoutHalfAnEscape) {
    // 255 characters of escaped text at most, never "%2" without its last digit.
    for (size_t spaces = 80; spaces < 90; ++spaces) {
        const std::string escaped = Escape("a" + std::string(spaces, ' '));
        ASSERT_LE(escaped.size(), 255u);
        EXPECT_EQ((escaped.size() - 1) % 3, 0u) << escaped;
        EXPECT_EQ(escaped.substr(escaped.size() - 3), "%20");
    }
    EXPECT_EQ(Escape(std::string(300, 'a')), std::string(255, 'a'));

    // A name field of 255 characters: the whole address stays within its buffer.
    const std::string name(255, ' ');
    char address[300];
    std::memset(address, 'X', sizeof address);
    BuildUploadAddress("http://s", "Pearlwreck", name.c_str(), 7, address, 120);
    EXPECT_EQ(std::strlen(address), 119u);
    EXPECT_EQ(address[120], 'X');
    char whole[1024];
    BuildUploadAddress("http://s", "Pearlwreck", name.c_str(), 7, whole, sizeof whole);
    const std::string query =
        std::string(whole).substr(std::strlen("http://s/cgi-bin/hiscore.cgi?"));
    const std::string score = "&score=" + std::to_string(7 ^ 0x3C3C3C3);
    EXPECT_EQ(query,
              "game=Pearlwreck&name=" + Repeat("%20", (255 - 21 - score.size()) / 3) + score);
}

// The longest legal record, sent: its name value is cut before the score, at
// a whole character, and the query is exactly as long as it may be.
TEST(UploadAddress, ALegalRecordKeepsItsScore) {
    const std::string name = Repeat("Jo ", 21);
    const std::string address = Repeat("Ab ", 21);
    const std::string email = std::string(38, 'e') + "@example.org";
    ASSERT_EQ(name.size() + address.size() + email.size(), 63u + 63u + 50u);
    const std::string record = name + ":" + address + ":" + email + ":Y";
    std::string escapedRecord;
    for (char c : record)
        escapedRecord += c == ' ' ? "%20" : std::string(1, c);
    const std::string score = "&score=" + std::to_string(98765 ^ 0x3C3C3C3);
    const std::string head = "game=Pearlwreck&name=";
    std::string sent = escapedRecord.substr(0, 255 - head.size() - score.size());
    const size_t percent = sent.rfind('%');
    if (percent != std::string::npos && percent + 3 > sent.size()) sent.resize(percent);
    ASSERT_GT(escapedRecord.size(), sent.size()); // it has to be cut
    char address_[1024];
    BuildUploadAddress("http://s", "Pearlwreck", record.c_str(), 98765, address_, sizeof address_);
    EXPECT_EQ(std::string(address_), "http://s/cgi-bin/hiscore.cgi?" + head + sent + score);
}

TEST(GameChoice, ProgramNamesMatchByteForByteOverTheText) {
    GameEntry entry{};
    std::strcpy(entry.program, "Pearlwreck.exe");
    EXPECT_EQ(ProgramBeginsWith(entry, "Pearl"), 1);
    EXPECT_EQ(ProgramBeginsWith(entry, "Pearlwreck"), 1);
    EXPECT_EQ(ProgramBeginsWith(entry, "Pearlwreck.exe"), 1);
    EXPECT_EQ(ProgramBeginsWith(entry, "pearl"), 0);
    EXPECT_EQ(ProgramBeginsWith(entry, "Pearlwreck.exe2"), 0);
    EXPECT_EQ(ProgramBeginsWith(entry, ""), 1);

    GameEntry copy{};
    std::memset(entry.folder, 'f', sizeof entry.folder); // a field filled to the brim
    std::strcpy(entry.name, "Pearlwreck");
    CopyGameEntry(copy, entry);
    EXPECT_EQ(std::strlen(copy.folder), 255u);
    EXPECT_STREQ(copy.program, "Pearlwreck.exe");
    EXPECT_STREQ(copy.name, "Pearlwreck");
    EXPECT_EQ(copy.button, nullptr);
}

} // namespace
