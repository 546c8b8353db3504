// Asking a device for an INFO or DINQUIRE list, with the retry rule the toolboxes use.
#pragma once

#include "printer/PjlReplies.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace brelmont::printer {

using PjlExchange = std::function<ReplyLines(const std::string& request, const std::string& device)>;

constexpr int MaxSends = 10;

struct QueryResult {
    // None when every send was refused; an empty list when the entries did not match their count.
    std::optional<std::vector<PjlItem>> items;
    int sends = 0;
};

// Sends the query until a reply is accepted, up to MaxSends sends in all.
QueryResult askWithRetry(const PjlQuery& query, const std::string& device, const PjlExchange& exchange);

} // namespace brelmont::printer
