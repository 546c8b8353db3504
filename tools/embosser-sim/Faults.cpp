#include "Faults.h"

namespace brelmont::sim {

namespace {
bool take(int& left)
{
    if (left <= 0)
        return false;
    --left;
    return true;
}
} // namespace

Faults::Faults(FaultPlan plan)
    : m_left(plan)
    , m_delayMs(plan.delayMs)
{
}

ReplyFaults Faults::nextReply()
{
    std::lock_guard lock(m_mutex);
    ReplyFaults f;
    f.garble = take(m_left.garble);
    f.wrongCount = take(m_left.wrongCount);
    f.shortReply = take(m_left.shortReply);
    return f;
}

bool Faults::nextConnectionDropped()
{
    std::lock_guard lock(m_mutex);
    return take(m_left.drop);
}

} // namespace brelmont::sim
