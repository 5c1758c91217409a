// Takes every waiting window message; the main loop and every modal loop use it.
#pragma once

// 1 when a quit message was taken (a new one is posted for enclosing loops), else 0.
int PumpMessages();

// Runs once for every message taken, before it is looked at (the start-up
// points it at the key queue's feed from the keyboard state).
void SetMessageTakenHook(void (*hook)());
