#include "printer/Termination.h"

#include "printer/StopSignal.h"
#include "printer/WorkFile.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <thread>

namespace brelmont::printer {

void endCleanlyOnSignals() {
    sigset_t ending;
    sigemptyset(&ending);
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) sigaddset(&ending, signal);
    if (pthread_sigmask(SIG_BLOCK, &ending, nullptr) != 0) return;
    std::thread([ending] {
        int signal = 0;
        while (sigwait(&ending, &signal) != 0) {}
        StopSignal::program().stop(); // every running helper's process group, killed
        WorkFile::removeAll();
        ::signal(signal, SIG_DFL);
        pthread_sigmask(SIG_UNBLOCK, &ending, nullptr);
        ::raise(signal);
        ::_exit(128 + signal);
    }).detach();
}

} // namespace brelmont::printer
