// Sound: declarations follow.
#pragma once
#include "windef.h"
#include "mmsystem.h"
