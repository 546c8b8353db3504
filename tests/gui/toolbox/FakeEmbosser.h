// An Orvin-like device answering the toolbox's PJL queries in process, with a log of every
// request. Its exchange may be called from the toolbox's worker thread; a gate can hold the
// replies back until the test opens it.
#pragma once

#include "printer/PjlReplies.h"
#include "printer/Printers.h"
#include "printer/RetryQuery.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace toolboxtest {

inline constexpr const char* FakeUri = "socket://fake-orvin:9100";

class FakeEmbosser {
public:
    using Items = std::vector<brelmont::printer::PjlItem>;

    FakeEmbosser();

    // The lists each INFO query answers with, keyed by the query word ("VARIABLES", ...).
    Items& list(const std::string& word);
    // Value of one entry, wherever it is.
    void set(const std::string& key, const std::string& value);
    // The next `count` replies to every query are refused (a garbled header).
    void refuse(int count);
    // Replies wait until open() is called.
    void holdReplies();
    void open();

    brelmont::printer::PjlExchange exchange();
    std::vector<std::string> requests() const;
    // The requests that are not INFO queries: what the toolbox wrote.
    std::vector<std::string> writes() const;
    // One attached queue leading to this device.
    static brelmont::printer::PrinterItem queue(int64_t model = 221201);

private:
    struct State {
        mutable std::mutex mutex;
        std::condition_variable opened;
        bool held = false;
        int refusals = 0;
        std::map<std::string, Items> lists;
        std::vector<std::string> log;
    };
    static brelmont::printer::ReplyLines reply(State& state, const std::string& request);

    std::shared_ptr<State> m_state;
};

} // namespace toolboxtest
