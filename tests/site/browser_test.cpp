// A real browser: headless Chromium renders the home page and the launcher's
// upload address, and a name that is a script stays text. Skipped when
// Chromium is not installed.
#include "site_fixture.h"

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using namespace sitetest;

namespace {

std::string find_chromium() {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "/usr/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        for (const char* name : {"chromium", "chromium-browser"}) {
            const std::string candidate = folder + "/" + name;
            if (access(candidate.c_str(), X_OK) == 0) return candidate;
        }
    }
    return "";
}

class BrowserTest : public SiteTest {
protected:
    void SetUp() override {
        chromium = find_chromium();
        if (chromium.empty()) GTEST_SKIP() << "chromium is not installed";
        SiteTest::SetUp();
    }

    // The page as Chromium built it, serialised after loading; empty on failure.
    std::string rendered(const std::string& address) {
        const auto profile = scratch.path() / ("profile" + std::to_string(++runs));
        const auto dom = scratch.path() / "dom.html";
        const std::string log = (scratch.path() / "chromium.log").string();
        std::vector<std::string> words = {chromium,
                                          "--headless",
                                          "--no-sandbox",
                                          "--disable-gpu",
                                          "--disable-quic",
                                          "--no-first-run",
                                          "--disable-background-networking",
                                          "--disable-component-update",
                                          "--disable-sync",
                                          "--disable-dev-shm-usage",
                                          "--user-data-dir=" + profile.string(),
                                          "--dump-dom",
                                          address};
        std::vector<char*> argv;
        for (auto& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        // Chromium's own files go under the scratch folder, not the user's home.
        std::vector<std::string> environment = {"HOME=" + scratch.path().string()};
        for (char** variable = environ; *variable; ++variable)
            if (std::string_view(*variable).substr(0, 5) != "HOME=")
                environment.push_back(*variable);
        std::vector<char*> envp;
        for (auto& variable : environment)
            envp.push_back(variable.data());
        envp.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, dom.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0644);
        pid_t pid = -1;
        const int failed =
            posix_spawn(&pid, chromium.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (failed) return "";
        // Bounded: a browser that hangs fails the test instead of holding it.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        int status = 0;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(-pid, SIGKILL);
                ::kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                ADD_FAILURE() << "chromium did not finish";
                return "";
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::ifstream in(dom);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string chromium;
    int runs = 0;
};

} // namespace

TEST_F(BrowserTest, TheHomePageRendersEveryGamesTopScores) {
    ASSERT_EQ(200, upload("Pearlwreck", "Ann Lee:::N", 1200).status);
    ASSERT_EQ(200, upload("Pearlwreck", "Bob:::N", 900).status);
    ASSERT_EQ(200, upload("Sea Battle", "Cy:::N", 40).status);
    const std::string dom = rendered(site.base_address() + "/");
    ASSERT_FALSE(dom.empty()) << site.log();
    const std::string text = visible_text(dom);
    EXPECT_NE(std::string::npos, text.find("Hall of Fame")) << text;
    EXPECT_NE(std::string::npos, text.find("Pearlwreck Rank Player Score Sent 1 Ann Lee 1200"))
        << text;
    EXPECT_NE(std::string::npos, text.find("2 Bob 900")) << text;
    EXPECT_NE(std::string::npos, text.find("Sea Battle Rank Player Score Sent 1 Cy 40")) << text;
    // The style sheet was asked for as the page loaded.
    EXPECT_NE(std::string::npos, site.log().find("GET /style.css 200")) << site.log();
}

TEST_F(BrowserTest, TheLaunchersUploadAddressRecordsAndThanksThePlayer) {
    const std::string address =
        site.base_address() +
        launcher_upload_target("Pearlwreck", "Ann Lee:12 Sea Road:ann@example.org:Y", 1200);
    const std::string dom = rendered(address);
    ASSERT_FALSE(dom.empty()) << site.log();
    const std::string text = visible_text(dom);
    EXPECT_NE(std::string::npos, text.find("Thank you, Ann Lee!")) << text;
    EXPECT_NE(std::string::npos, text.find("Your score of 1200 in Pearlwreck")) << text;
    EXPECT_NE(std::string::npos, text.find("1 Ann Lee 1200")) << text;
    EXPECT_EQ(std::string::npos, text.find("Sea Road")) << text;
    const auto rows = stored();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ("Ann Lee", rows[0].player);
    EXPECT_EQ(1200, rows[0].score);
}

TEST_F(BrowserTest, AScriptAsANameIsShownAsTextAndNeverRuns) {
    const std::string name = "<script>document.body.innerHTML='HACKED'</script>";
    const std::string dom =
        rendered(site.base_address() + launcher_upload_target("Pearlwreck", name + ":::N", 64));
    ASSERT_FALSE(dom.empty()) << site.log();
    const std::string text = visible_text(dom);
    EXPECT_NE(std::string::npos, text.find("Thank you, " + name + "!")) << text;
    EXPECT_NE(std::string::npos, text.find("recorded at rank 1 of 1")) << text;
    EXPECT_EQ(std::string::npos, dom.find("<script")) << dom;
    ASSERT_EQ(1u, stored().size());
    EXPECT_EQ(name, stored()[0].player);
}
