// The browser keeps the player's store on an IndexedDB mount (ludora_page.js),
// which holds only what is stored again: each completed write asks the page to
// store it. (An atomic write's fsync already stores the mount under Asyncify;
// deletes, moves and copies have no fsync, so this is what stores them.)
// Linked with the program's entry point, so it is always in.
#ifdef __EMSCRIPTEN__

#include "kernel/user_store.h"

#include <emscripten.h>

namespace {

// Any thread may write; the mount belongs to the page's thread.
void store_after_write(const std::string&) {
    MAIN_THREAD_ASYNC_EM_ASM({ Module.ludoraSaves.written(); });
}

const bool g_listening = [] {
    ludora::kernel::set_file_write_listener(store_after_write);
    return true;
}();

} // namespace

#endif
