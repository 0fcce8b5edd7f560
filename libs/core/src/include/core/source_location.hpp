#pragma once

#include <cstdint>
#include <string_view>

namespace nkp::libs::core {

// Where something happened in the source. Never owns text: the views point at the
// compiler's static literals.
class source_location {
public:
    source_location() = default;
    source_location(long _line, std::string_view _file, std::string_view _function)
        : m_line(_line)
        , m_file(_file)
        , m_function(_function) {}

    long line() const { return static_cast<long>(m_line); }
    std::string_view file() const { return m_file; }
    std::string_view function() const { return m_function; }

    // The file path relative to the source root, starting with "/".
    std::string_view short_file() const;
    // The qualified function name without return type and parameters.
    std::string_view short_function() const;

private:
    std::int64_t m_line = 0;
    std::string_view m_file = "unknown file";
    std::string_view m_function = "unknown function";
};

} // namespace nkp::libs::core

#define CORE_SOURCE_LOCATION                                                                       \
    ::nkp::libs::core::source_location(__LINE__, __FILE__, __PRETTY_FUNCTION__)
