// An Orvin answering the toolbox's PJL queries in process from lists the test controls. It can
// refuse replies, miscount one, fail exchanges, and keeps every request it was sent. Its exchange
// may be called from a worker thread and stays valid after this object is gone; copies of the
// object are the same device.
#pragma once

#include "printer/PjlReplies.h"
#include "printer/Printers.h"
#include "printer/RetryQuery.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace brelmont::testing {

class ScriptedEmbosser {
public:
    using Items = std::vector<printer::PjlItem>;

    static constexpr const char* Uri = "socket://127.0.0.1:59100";
    // One connected queue of the model leading to this device.
    static printer::PrinterItem queue(int64_t model = 221201, std::string name = "Orvin in the lab");

    // An Orvin with an ink module, as a factory would ship it.
    ScriptedEmbosser();

    // The entries a query answers with, by the query's name ("variables", "versions", "status",
    // "legacy", "sensors").
    Items list(const std::string& query) const;
    // Sets the first entry of that key in the query's list, adding it when absent.
    void set(const std::string& query, const std::string& key, const std::string& value);

    // The next `count` replies to the query come with a spoilt header.
    void refuse(const std::string& query, int count);
    // The next reply to the query announces one entry more than it holds.
    void miscount(const std::string& query);
    // The next `count` exchanges end as `status` without reaching the device's lists.
    void fail(printer::ExchangeStatus status, int count = 1);
    // "@PJL DEFAULT KEY=VALUE" lines change the entries of that key, as an embosser does; a key
    // kept here is not changed (the embosser did not take the value).
    void keep(const std::string& key);

    // The exchange to give the toolbox.
    printer::PjlExchange exchange() const;
    // Every request sent, to this device or any other, in order.
    std::vector<std::string> requests() const;
    // The requests that are none of the queries: what the toolbox wrote.
    std::vector<std::string> writes() const;

private:
    struct State {
        mutable std::mutex mutex;
        std::map<std::string, Items> lists;
        std::map<std::string, int> refusals;
        std::map<std::string, bool> miscount;
        std::vector<std::string> requests;
        printer::ExchangeStatus failure = printer::ExchangeStatus::Done;
        int failures = 0;
        std::vector<std::string> kept;
    };
    template <typename F>
    auto locked(F f) const {
        const std::lock_guard lock(m_state->mutex);
        return f(*m_state);
    }
    static void takeWrites(State& state, const std::string& request);
    static printer::ReplyLines reply(State& state, const std::string& request);

    std::shared_ptr<State> m_state;
};

} // namespace brelmont::testing
