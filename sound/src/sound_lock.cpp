#include "sound_lock.h"

namespace zqsound {

std::recursive_mutex& SoundLock() {
    // Built on first use: a program's own static ZQSound may call Init
    // before this file's statics exist.
    static std::recursive_mutex lock;
    return lock;
}

} // namespace zqsound
