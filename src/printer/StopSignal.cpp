#include "printer/StopSignal.h"

#include <algorithm>
#include <csignal>

namespace brelmont::printer {

void StopSignal::stop() {
    const std::lock_guard lock(m_mutex);
    m_stopped = true;
    for (pid_t group : m_groups) kill(-group, SIGKILL);
}

bool StopSignal::stopped() const {
    const std::lock_guard lock(m_mutex);
    return m_stopped;
}

bool StopSignal::enter(pid_t group) {
    const std::lock_guard lock(m_mutex);
    if (m_stopped) return false;
    m_groups.push_back(group);
    return true;
}

void StopSignal::leave(pid_t group) {
    const std::lock_guard lock(m_mutex);
    m_groups.erase(std::remove(m_groups.begin(), m_groups.end(), group), m_groups.end());
}

StopSignal& StopSignal::program() {
    static StopSignal* const signal = new StopSignal; // never destroyed: workers may still leave it at exit
    return *signal;
}

} // namespace brelmont::printer
