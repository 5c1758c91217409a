// The Win32 API subset of the Ludora suite, for non-Windows builds.
#pragma once

#include "windef.h"
#include "winerror.h"
#include "winbase.h"
#include "wingdi.h"
#include "winuser.h"
#include "mmsystem.h"
#include "shellapi.h"
