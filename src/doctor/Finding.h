// One line of the diagnosis: what was checked, whether it is fine, and what to do when it is not.
#pragma once

#include <string>
#include <vector>

namespace brelmont::doctor {

struct Finding {
    bool ok = true;
    std::string subject; // "CUPS scheduler", "queue Orvin_200", ...
    std::string detail;  // what was found
    std::string fix;     // what to do, for a problem

    bool operator==(const Finding&) const = default;
};

// "ok: SUBJECT: DETAIL" or "problem: SUBJECT: DETAIL; fix: FIX".
std::string line(const Finding& finding);

bool anyProblem(const std::vector<Finding>& findings);

} // namespace brelmont::doctor
