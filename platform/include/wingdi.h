// Graphics: declarations follow.
#pragma once
#include "windef.h"
