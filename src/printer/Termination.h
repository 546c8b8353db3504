// What a command-line program does when it is told to end (SIGTERM, SIGHUP, SIGINT) in the middle
// of an exchange: the helpers it started are stopped at once and its work files removed, so that
// nothing reaches an embosser after the caller was told the program ended, and nothing is left in
// the work folder. Then the program ends by the same signal.
#pragma once

namespace brelmont::printer {

// Call first in main, before any thread starts: the three signals are then taken by one thread of
// their own, in every thread.
void endCleanlyOnSignals();

} // namespace brelmont::printer
