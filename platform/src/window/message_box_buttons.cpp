#include "window/message_box_buttons.h"

namespace ludora::window {

MessageBoxButtons message_box_buttons(UINT type) {
    MessageBoxButtons box;
    auto add = [&box](int id, const char* label) { box.buttons[box.count++] = {id, label}; };
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        add(IDOK, "OK");
        add(IDCANCEL, "Cancel");
        box.cancel_id = IDCANCEL;
        break;
    case MB_ABORTRETRYIGNORE:
        add(IDABORT, "Abort");
        add(IDRETRY, "Retry");
        add(IDIGNORE, "Ignore");
        break;
    case MB_YESNOCANCEL:
        add(IDYES, "Yes");
        add(IDNO, "No");
        add(IDCANCEL, "Cancel");
        box.cancel_id = IDCANCEL;
        break;
    case MB_YESNO:
        add(IDYES, "Yes");
        add(IDNO, "No");
        break;
    case MB_RETRYCANCEL:
        add(IDRETRY, "Retry");
        add(IDCANCEL, "Cancel");
        box.cancel_id = IDCANCEL;
        break;
    default:
        // A lone OK closes with IDOK.
        add(IDOK, "OK");
        box.cancel_id = IDOK;
        break;
    }
    // A default beyond the last button falls back to the first, as on Windows.
    const int wanted = static_cast<int>((type & MB_DEFMASK) >> 8);
    box.default_index = wanted < box.count ? wanted : 0;
    return box;
}

} // namespace ludora::window
