// Reading the music file into the stream buffer.
#pragma once

#include "zqsound.h"

namespace zqsound {

// Fills `bytes` at `dst` from the stream's data. At the end of the data a
// looping stream goes back to its start; otherwise the rest is silence (0x80
// for 8-bit data, 0 for 16-bit). A short read ends the data where the file
// ended and leaves the rest of `dst` as it was. Answers the bytes written.
DWORD ReadStreamData(BYTE* dst, DWORD bytes, int loop);

// Tears down everything of the loaded stream and answers its ID.
DWORD ReleaseStream();

} // namespace zqsound
