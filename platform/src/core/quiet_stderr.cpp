#include "core/quiet_stderr.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace ludora {

QuietStderr::QuietStderr() {
    std::fflush(stderr);
    saved_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    const int null_device = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && null_device >= 0) dup2(null_device, STDERR_FILENO);
    if (null_device >= 0) close(null_device);
}

QuietStderr::~QuietStderr() {
    std::fflush(stderr);
    if (saved_ < 0) return;
    dup2(saved_, STDERR_FILENO);
    close(saved_);
}

} // namespace ludora
