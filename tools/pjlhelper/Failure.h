// A step that failed, reported as "pjlhelper: what failed: why" on standard error.
#pragma once

#include <stdexcept>
#include <string>

namespace brelmont::pjlhelper {

class Failure : public std::runtime_error {
public:
    Failure(std::string step, const std::string& why) : std::runtime_error(why), m_step(std::move(step)) {}

    const std::string& step() const { return m_step; }

private:
    std::string m_step;
};

} // namespace brelmont::pjlhelper
