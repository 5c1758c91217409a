// Kernel services: declarations follow.
#pragma once
#include "windef.h"
