// A line on standard error when a device keeps a script waiting, so nobody takes a slow embosser
// for a hung program.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace brelmont::cli {

class WaitNotice {
public:
    // Prints "Waiting for the embosser at URI…" once, if the notice still lives after `delay`.
    explicit WaitNotice(std::string deviceUri, std::chrono::milliseconds delay = std::chrono::seconds(2));
    ~WaitNotice();
    WaitNotice(const WaitNotice&) = delete;
    WaitNotice& operator=(const WaitNotice&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};

} // namespace brelmont::cli
