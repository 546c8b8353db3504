// The fault options: each counts down over the query replies (or connections) it spoils.
#pragma once

#include "Reply.h"

#include <mutex>

namespace brelmont::sim {

struct FaultPlan {
    int garble = 0;
    int wrongCount = 0;
    int shortReply = 0;
    int drop = 0;
    int endless = 0; // replies that never end: bytes without a form feed until the client leaves
    int serve = 0;   // after this many connections the embosser goes away (0: never)
    int delayMs = 0;
    int unasked = 0;     // connections that get a status report before anything is asked
    int resetAfter = -1; // connections served before every later one is reset, unread (-1: none)
};

class Faults {
public:
    explicit Faults(FaultPlan plan);

    ReplyFaults nextReply();
    bool nextConnectionDropped();
    bool nextConnectionUnasked();
    bool nextConnectionReset();
    // Counts one accepted connection; how many more the embosser serves (-1: no end).
    int connectionsLeft();
    int delayMs() const { return m_delayMs; }

private:
    std::mutex m_mutex;
    FaultPlan m_left;
    const int m_delayMs;
};

} // namespace brelmont::sim
