#include "Faults.h"

namespace brelmont::sim {

namespace {
bool take(int& left) {
    if (left <= 0) return false;
    --left;
    return true;
}
} // namespace

Faults::Faults(FaultPlan plan) : m_left(plan), m_delayMs(plan.delayMs) {}

ReplyFaults Faults::nextReply() {
    std::lock_guard lock(m_mutex);
    ReplyFaults f;
    f.garble = take(m_left.garble);
    f.wrongCount = take(m_left.wrongCount);
    f.shortReply = take(m_left.shortReply);
    f.endless = take(m_left.endless);
    return f;
}

int Faults::connectionsLeft() {
    std::lock_guard lock(m_mutex);
    if (m_left.serve <= 0) return -1;
    return --m_left.serve;
}

bool Faults::nextConnectionDropped() {
    std::lock_guard lock(m_mutex);
    return take(m_left.drop);
}

bool Faults::nextConnectionReset() {
    std::lock_guard lock(m_mutex);
    return m_left.resetAfter >= 0 && !take(m_left.resetAfter);
}

bool Faults::nextConnectionUnasked() {
    std::lock_guard lock(m_mutex);
    return take(m_left.unasked);
}

} // namespace brelmont::sim
