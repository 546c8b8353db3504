// A reply to one PJL query, and how it is turned into bytes on the wire: a header line, its
// lines, each ended by "\r\n", and a form feed.
#pragma once

#include "Family.h"

#include <string>
#include <vector>

namespace brelmont::sim {

struct Reply {
    std::string header;             // "@PJL INFO VARIABLES" (the count is added when counted)
    std::vector<std::string> lines; // entry lines or the single value line
    bool counted = false;           // the header announces "[N ENTRIES]"

    static Reply list(std::string header, const EntryList& entries);
    static Reply value(std::string header, std::string value);
};

// What the fault options do to one reply.
struct ReplyFaults {
    bool garble = false;     // the header no longer reads "@PJL ..."
    bool wrongCount = false; // the announced count is one more than the lines; uncounted: a line is missing
    bool shortReply = false; // only the first half of the bytes, no form feed; the connection then ends
    bool endless = false;    // the reply goes on without end
};

std::string render(const Reply& reply, const ReplyFaults& faults = {});

} // namespace brelmont::sim
