// What every fuzz target shares: a scratch folder of its own that is the
// current directory, and the input written there as a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Creates the folder on first use, makes it the current directory and removes
// it when the process exits normally (a crash leaves it for inspection).
const std::string& ScratchFolder();

// Writes the bytes to `name` inside the scratch folder; returns the name.
std::string WriteInput(const char* name, const uint8_t* data, size_t size);

// Where targets leave what they read back, so the reads are not optimised away.
extern volatile unsigned g_sink;

} // namespace fuzz
