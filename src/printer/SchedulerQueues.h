// The print queues as the scheduler lists them, read through the printing system's own library in
// one request rather than one command line per queue: the same queues, in the same order ("lpstat
// -e"), with the same assignments ("lpoptions -p QUEUE"), a user's instances included.
#pragma once

#include "printer/StopSignal.h"

#include <string>
#include <vector>

namespace brelmont::printer {

struct SchedulerQueue {
    std::string name; // "QUEUE" or "QUEUE/INSTANCE"
    std::string deviceUri;
    std::string makeAndModel;
    std::string info; // the queue's human-readable name
};

// Every queue. A scheduler that does not answer, or a stopped `stop`, gives none (as an empty
// listing did); the whole reading is bounded in time.
std::vector<SchedulerQueue> readSchedulerQueues(const SharedStop& stop = {});
// The named queues only, in the order given; a name the scheduler does not know is left out.
std::vector<SchedulerQueue> readSchedulerQueues(const std::vector<std::string>& names, const SharedStop& stop = {});

} // namespace brelmont::printer
