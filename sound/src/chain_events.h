// The chain entries, as the pool sees them.
#pragma once

#include "zqsound.h"

namespace zqsound {

// Hands back the entries armed for `sample` (every armed entry when null)
// through the callback thread: a stop already signalled for one must not
// start a chain armed later on the same entry. Called under the lock.
void DrainSoundEvents(SNDSample* sample);

} // namespace zqsound
