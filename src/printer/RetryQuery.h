// Asking a device for an INFO or DINQUIRE list, with the retry rule the toolboxes use.
#pragma once

#include "printer/PjlHelper.h"
#include "printer/PjlReplies.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace brelmont::printer {

// One request to a device and its reply (PjlHelper::exchange in the program).
using PjlExchange =
    std::function<ExchangeResult(const std::string& request, const std::string& device, const ExchangeBounds& bounds)>;

constexpr int MaxSends = 10;

// Reads a reply: none when it is refused (and the query is sent again).
using ReplyParser = std::function<std::optional<std::vector<PjlItem>>(const ReplyLines& reply)>;

struct QueryResult {
    // None when no reply was accepted; an empty list when the entries did not match their count.
    std::optional<std::vector<PjlItem>> items;
    int sends = 0;
    // How the asking ended: Done with items, NotUnderstood after MaxSends refused replies, or the
    // failure of the exchange that ended it.
    ExchangeOutcome outcome;
};

// Sends the query until a reply is accepted, up to MaxSends sends in all. A refused reply, or a
// device that closed the connection without one, is asked again; a device that cannot be reached
// or does not answer, or work that was cancelled or ran out of time, ends the asking at once.
// Replies are read by `parse`, or else as an INFO list (the sensor list for the sensor query).
QueryResult askWithRetry(const PjlQuery& query, const std::string& device, const PjlExchange& exchange,
                         const ExchangeBounds& bounds = {}, const ReplyParser& parse = nullptr);

} // namespace brelmont::printer
