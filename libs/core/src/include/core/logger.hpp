#pragma once

#include "core/exception.hpp"
#include "core/scope_guard.hpp"
#include "core/source_location.hpp"
#include "core/timestamp.hpp"

#include <boost/format.hpp>
#include <boost/system/error_code.hpp>
#include <zmq.hpp>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace nkp::libs::core {

class logger;

// Writes lines of one component through the sinks of the root logger. Every operation is
// const and thread-safe, so a const reference is enough to log.
class component_logger {
public:
    using ptr = std::unique_ptr<component_logger>;
    using indent_guard = scope_guard;

    // One pending line; its destructor writes it, so one expression is one line.
    class formatter {
    public:
        formatter(int _level, const std::string_view& _format, const component_logger& _component);
        formatter(const formatter&) = delete;
        formatter& operator=(const formatter&) = delete;
        ~formatter();

        template <class T>
        formatter& operator%(T&& _value) {
            m_format % std::forward<T>(_value);
            return *this;
        }
        // The line starts with the caller's short file and line.
        formatter& location(const source_location& _location);
        // The line names the caller's full, or short, function.
        formatter& function(const source_location& _location);
        formatter& short_function(const source_location& _location);
        // The line carries this time instead of now.
        formatter& date_time(const timestamp& _timestamp);

    private:
        boost::format m_format;
        int m_log_level;
        const component_logger& m_logger;
        std::optional<source_location> m_source_location;
        std::string_view m_function;
        std::optional<timestamp> m_timestamp;
    };

    component_logger(const logger& _root, const std::string& _module_name,
                     const std::string& _component_name);
    component_logger(const component_logger&) = delete;
    component_logger& operator=(const component_logger&) = delete;

    // The format is a Boost.Format text ("%1%"), NUL-terminated; callers pass literals.
    formatter debug(const std::string_view& _format) const;
    formatter info(const std::string_view& _format) const;
    formatter warning(const std::string_view& _format) const;
    formatter error(const std::string_view& _format) const;

    // A component of the same root and module, with its own indentation.
    ptr component(const std::string& _name) const;

    // Each writes one debug line, then indents this component until the guard is destroyed.
    indent_guard enter_function(const source_location& _location) const;
    indent_guard enter_function_short(const source_location& _location,
                                      const std::string_view& _text) const;
    indent_guard enter_scope(const source_location& _location) const;
    indent_guard enter_scope(const std::string_view& _text) const;
    indent_guard enter_scope(const source_location& _location, const std::string_view& _text) const;

    // Only valid inside a catch handler.
    void log_exception() const;
    // Writes "Caught exeption" at the location through the root, then the exception.
    void log_exception(const source_location& _location) const;
    void log_exception(const located_exception& _exception) const;
    void log_error(const boost::system::error_code& _error, const source_location& _location) const;

    // Runs the callable; whatever it throws is logged and false returned.
    template <class F>
    bool execute(F&& _f) const {
        try {
            std::forward<F>(_f)();
            return true;
        } catch (...) {
            log_exception();
            return false;
        }
    }
    template <class F>
    bool execute(const source_location& _location, F&& _f) const {
        try {
            std::forward<F>(_f)();
            return true;
        } catch (...) {
            log_exception(_location);
            return false;
        }
    }

private:
    indent_guard indent() const;

    mutable std::atomic<int> m_indent{0};
    const logger& m_logger;
    std::string m_module_name;
    std::string m_zmq_prefix;
};

// The root logger: owns the sinks, syslog and the ZeroMQ PUSH debug socket.
class logger : public component_logger {
public:
    logger(const std::string& _module_name, const std::string& _component_name);
    ~logger();

    bool is_debug() const { return m_debug; }
    // In debug mode syslog gets debug lines too, with date and indentation, echoed on stderr.
    void set_debug(bool _debug);
    // Lines are queued for the collector from here on; throws on a malformed endpoint.
    void connect(const std::string& _address);
    bool is_writing_to_socket() const { return m_writing_to_socket; }
    void set_writing_to_socket(bool _writing) { m_writing_to_socket = _writing; }
    bool is_logger_enabled() const { return m_enable_logger; }

private:
    friend class component_logger::formatter;
    // Never blocks: a socket copy that cannot be queued at once is dropped.
    void write(int _level, const std::string& _date, const std::string& _indent,
               const std::string& _body, const std::string& _zmq_prefix) const;

    std::string m_module_name;
    std::atomic<bool> m_debug{false};
    std::atomic<bool> m_writing_to_socket{true};
    bool m_enable_logger = true;
    ::zmq::context_t m_zmq_context;
    mutable std::mutex m_socket_mutex;
    mutable ::zmq::socket_t m_debug_socket;
    // Guarded by m_socket_mutex. A send refused before the first connect makes the
    // ZeroMQ library drop lines queued later when the socket closes, so none is tried.
    bool m_connected = false;
};

// Text of the exception being handled; only valid inside a catch handler.
std::string exception_to_string();
std::string exception_to_string(const located_exception& _exception);

} // namespace nkp::libs::core
