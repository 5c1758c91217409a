// Test-harness extras of the platform layer. Not part of the Win32 API: every
// name here carries the Ludora prefix.
#pragma once

#include "ludora/harness_clock.h"
#include "ludora/harness_window.h"
#include "ludora/harness_video.h"
#include "ludora/harness_audio.h"
#include "ludora/harness_host.h"
