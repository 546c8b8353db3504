// An environment variable set (or, for no value, removed) for the life of the object, and put
// back as it was afterwards.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace brelmont::testing {

class ScopedEnv {
public:
    ScopedEnv(const std::string& name, const std::optional<std::string>& value) : m_name(name) {
        if (const char* old = std::getenv(name.c_str())) m_previous = old;
        set(value);
    }
    ~ScopedEnv() { set(m_previous); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void set(const std::optional<std::string>& value) const {
        if (value) setenv(m_name.c_str(), value->c_str(), 1);
        else unsetenv(m_name.c_str());
    }

    std::string m_name;
    std::optional<std::string> m_previous;
};

} // namespace brelmont::testing
