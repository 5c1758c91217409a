// The timed input script (LUDORA_SCRIPT): one command a line, run on the
// layer clock while the program pumps its messages.
#pragma once

#include <string>

namespace ludora::window {

// Runs the commands that are due; loads LUDORA_SCRIPT the first time.
void script_tick();
// The layer time (microseconds) at which script_tick has a command to run:
// now when one is due, kForever when the script has run out.
uint64_t script_next_due_us();
// Replaces the script; returns the number of lines rejected.
int script_load(const std::string& text);
bool script_done();

} // namespace ludora::window
