#pragma once

#include "core/source_location.hpp"

#include <exception>
#include <ostream>
#include <string>

namespace nkp::libs::core {

// Base of every error the system raises: it knows where it was raised.
class located_exception : public std::exception {
public:
    explicit located_exception(source_location _source_location)
        : m_source_location(_source_location) {}
    located_exception(const located_exception&) = default;
    located_exception(located_exception&&) = default;
    ~located_exception() override = default;

    // Rebuilt on each call; the pointer stays valid until the next call on this object.
    const char* what() const noexcept override;
    // Writes "short-file:line".
    virtual std::ostream& describe(std::ostream& _os) const;

    source_location get_source_location() const { return m_source_location; }

private:
    source_location m_source_location;
    mutable std::string m_what;
};

class exception : public located_exception {
public:
    exception(std::string _message, source_location _source_location)
        : located_exception(_source_location)
        , m_str_error(std::move(_message)) {}
    exception(const exception&) = default;
    exception(exception&&) = default;

    // Writes "short-file:line message".
    std::ostream& describe(std::ostream& _os) const override;
    const std::string& get_string_error() const { return m_str_error; }

private:
    std::string m_str_error;
};

class check_failed_exception : public exception {
public:
    check_failed_exception(const std::string& _condition, source_location _source_location)
        : exception("check failed: " + _condition, _source_location) {}
};

} // namespace nkp::libs::core

// Always on, in every build.
#define CORE_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            throw ::nkp::libs::core::check_failed_exception(#condition, CORE_SOURCE_LOCATION);     \
        }                                                                                          \
    } while (false)
