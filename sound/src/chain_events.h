// The chain entries, as the pool sees them.
#pragma once

#include "zqsound.h"

namespace zqsound {

// Hands back the entries armed for `sample` (every armed entry when null)
// through the callback thread: a stop already signalled for one must not
// start a chain armed later on the same entry. Called under the lock.
void DrainSoundEvents(SNDSample* sample);

// A buffer keeps the stop notification it was last armed with. Played again
// without a chain, its stop would signal an entry that may by now serve
// another chain: the notification goes before such a play. Under the lock.
void DisarmStopNotify(SNDSample* sample);

} // namespace zqsound
