#include "doctor/Finding.h"

#include <algorithm>

namespace brelmont::doctor {

std::string line(const Finding& f) {
    if (f.ok) return "ok: " + f.subject + ": " + f.detail;
    return "problem: " + f.subject + ": " + f.detail + "; fix: " + f.fix;
}

bool anyProblem(const std::vector<Finding>& findings) {
    return std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return !f.ok; });
}

} // namespace brelmont::doctor
