// Windows and input: declarations follow.
#pragma once
#include "windef.h"
