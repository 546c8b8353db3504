// An environment variable set for the life of the object, and put back as it was afterwards.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace brelmont::testing {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_previous = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (m_previous) setenv(m_name.c_str(), m_previous->c_str(), 1);
        else unsetenv(m_name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

} // namespace brelmont::testing
