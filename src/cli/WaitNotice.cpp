#include "cli/WaitNotice.h"

#include <iostream>

namespace brelmont::cli {

WaitNotice::WaitNotice(std::string deviceUri, std::chrono::milliseconds delay)
    : m_thread([this, uri = std::move(deviceUri), delay] {
          std::unique_lock lock(m_mutex);
          if (!m_done.wait_for(lock, delay, [this] { return m_finished; }))
              std::cerr << "Waiting for the embosser at " << uri << "\u2026" << std::endl;
      }) {}

WaitNotice::~WaitNotice() {
    {
        const std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_done.notify_all();
    m_thread.join();
}

} // namespace brelmont::cli
