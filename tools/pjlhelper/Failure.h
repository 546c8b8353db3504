// A step that failed, reported as "pjlhelper: what failed: why" on standard error, with the exit
// status that tells its kind (printer/HelperProtocol.h).
#pragma once

#include "printer/HelperProtocol.h"

#include <stdexcept>
#include <string>

namespace brelmont::pjlhelper {

class Failure : public std::runtime_error {
public:
    Failure(std::string step, const std::string& why, int exitCode = printer::helper::ExitFailed)
        : std::runtime_error(why),
          m_step(std::move(step)),
          m_exitCode(exitCode) {}

    const std::string& step() const { return m_step; }
    int exitCode() const { return m_exitCode; }

private:
    std::string m_step;
    int m_exitCode;
};

} // namespace brelmont::pjlhelper
