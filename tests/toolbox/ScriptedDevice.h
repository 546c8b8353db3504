// A device for engine tests: answers the PJL queries from lists the test controls, refuses the
// first replies when told to, and keeps every request it was sent.
#pragma once

#include "printer/PjlReplies.h"
#include "printer/Printers.h"
#include "printer/RetryQuery.h"

#include <map>
#include <string>
#include <vector>

namespace brelmont::testing {

class ScriptedDevice {
public:
    // An Orvin with an ink module, as a factory would ship it.
    ScriptedDevice();

    // The entries of a query by its name ("variables", "versions", "status", "legacy", "sensors").
    std::vector<printer::PjlItem>& list(const std::string& query) { return m_lists[query]; }
    // Sets the first entry of that key in the query's list, adding it when absent.
    void set(const std::string& query, const std::string& key, const std::string& value);
    // The next `count` replies to the query come with a spoilt header.
    void refuse(const std::string& query, int count) { m_refusals[query] = count; }
    // The next reply to the query announces one entry more than it holds.
    void miscount(const std::string& query) { m_miscount[query] = true; }

    // The exchange to give the engine; it records into this object, which must outlive it.
    printer::PjlExchange exchange();
    const std::vector<std::string>& requests() const { return m_requests; }
    // How many requests were exactly this text.
    int sent(const std::string& request) const;
    // The requests that are neither of the load queries nor the sensor query.
    std::vector<std::string> writes() const;

    static constexpr const char* Uri = "socket://127.0.0.1:59100";
    // One connected queue of the model leading to this device.
    static printer::PrinterItem queue(int64_t model = 221201, std::string name = "Orvin in the lab");

private:
    printer::ReplyLines reply(const std::string& request);

    std::map<std::string, std::vector<printer::PjlItem>> m_lists;
    std::map<std::string, int> m_refusals;
    std::map<std::string, bool> m_miscount;
    std::vector<std::string> m_requests;
};

} // namespace brelmont::testing
