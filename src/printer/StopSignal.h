// Stopping device and queue work from another thread: Cancel in a progress dialog, or the program
// quitting. A stopped signal ends the commands running for it at once (their process groups are
// killed) and keeps later ones from starting, so nothing more reaches the device.
#pragma once

#include <memory>
#include <mutex>
#include <sys/types.h>
#include <vector>

namespace brelmont::printer {

class StopSignal {
public:
    void stop();
    bool stopped() const;

    // The command runner's side: a started command's process group joins the signal while it
    // runs. False (the caller ends the group) when the signal was stopped already.
    bool enter(pid_t group);
    void leave(pid_t group);

    // Every command of the program: stopped when it quits.
    static StopSignal& program();

private:
    mutable std::mutex m_mutex;
    bool m_stopped = false;
    std::vector<pid_t> m_groups;
};

using SharedStop = std::shared_ptr<StopSignal>;

} // namespace brelmont::printer
