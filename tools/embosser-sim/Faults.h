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
    int delayMs = 0;
};

class Faults {
public:
    explicit Faults(FaultPlan plan);

    ReplyFaults nextReply();
    bool nextConnectionDropped();
    int delayMs() const { return m_delayMs; }

private:
    std::mutex m_mutex;
    FaultPlan m_left;
    const int m_delayMs;
};

} // namespace brelmont::sim
