// Started by the ShellExecuteA tests: writes its working directory, pid and
// arguments, one per line, to "probe-out.txt" in its working directory
// (through a temporary file, so the test never reads half of it).
#include <cstdio>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    char cwd[4096] = {};
    if (!getcwd(cwd, sizeof cwd)) return 1;
    std::string text = std::string(cwd) + "\n" + std::to_string(getpid()) + "\n";
    for (int i = 1; i < argc; ++i)
        text += std::string(argv[i]) + "\n";
    FILE* out = std::fopen("probe-out.tmp", "wb");
    if (!out) return 1;
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
    return std::rename("probe-out.tmp", "probe-out.txt") == 0 ? 0 : 1;
}
