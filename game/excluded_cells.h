// The cells around the chart's corners and edges that the background's frame
// hides: never drawn, never holding treasure, refused when clicked.
#pragma once

#include <cstdint>

// Ascending cell indices, ending with -1.
extern const int32_t ExcludedCells[];

bool IsExcludedCell(int32_t index);
