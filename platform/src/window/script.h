// The timed input script (LUDORA_SCRIPT): one command a line, run on the
// layer clock while the program pumps its messages.
#pragma once

#include <string>

namespace ludora::window {

// Runs the commands that are due; loads LUDORA_SCRIPT the first time.
void script_tick();
// Replaces the script; returns the number of lines rejected.
int script_load(const std::string& text);
bool script_done();

} // namespace ludora::window
