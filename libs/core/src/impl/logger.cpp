#include "core/logger.hpp"

#include <syslog.h>

#include <sstream>

namespace nkp::libs::core {

namespace {

constexpr int DEBUG_SOCKET_LINGER_MS = 5000;

std::string indentation(int _depth) {
    if (_depth <= 0) {
        return {};
    }
    return std::string(static_cast<std::size_t>(_depth) * 4, ' ') + "| ";
}

} // namespace

component_logger::formatter::formatter(int _level, const std::string_view& _format,
                                       const component_logger& _component)
    : m_format(_format.data())
    , m_log_level(_level)
    , m_logger(_component) {
    // A mismatched format must never take the caller down with it.
    m_format.exceptions(boost::io::no_error_bits);
}

component_logger::formatter::~formatter() {
    try {
        const auto time = m_timestamp ? *m_timestamp : timestamp::current_time();
        const auto date = time.to_iso_8601(true, ' ', false) + ' ';
        std::string body;
        if (m_source_location) {
            body.append(m_source_location->short_file());
            body += ':';
            body += std::to_string(m_source_location->line());
            body += ' ';
        }
        if (!m_function.empty()) {
            body.append(m_function);
            body += ": ";
        }
        body += m_format.str();
        m_logger.m_logger.write(m_log_level, date, indentation(m_logger.m_indent), body,
                                m_logger.m_zmq_prefix);
    } catch (...) {
        // A destructor that logs has nowhere to report its own failure.
    }
}

component_logger::formatter&
component_logger::formatter::location(const source_location& _location) {
    m_source_location = _location;
    return *this;
}

component_logger::formatter&
component_logger::formatter::function(const source_location& _location) {
    m_function = _location.function();
    return *this;
}

component_logger::formatter&
component_logger::formatter::short_function(const source_location& _location) {
    m_function = _location.short_function();
    return *this;
}

component_logger::formatter& component_logger::formatter::date_time(const timestamp& _timestamp) {
    m_timestamp = _timestamp;
    return *this;
}

component_logger::component_logger(const logger& _root, const std::string& _module_name,
                                   const std::string& _component_name)
    : m_logger(_root)
    , m_module_name(_module_name)
    , m_zmq_prefix("&" + _module_name + ":" + _component_name + " ") {}

component_logger::formatter component_logger::debug(const std::string_view& _format) const {
    return formatter(LOG_DEBUG, _format, *this);
}

component_logger::formatter component_logger::info(const std::string_view& _format) const {
    return formatter(LOG_INFO, _format, *this);
}

component_logger::formatter component_logger::warning(const std::string_view& _format) const {
    return formatter(LOG_WARNING, _format, *this);
}

component_logger::formatter component_logger::error(const std::string_view& _format) const {
    return formatter(LOG_ERR, _format, *this);
}

component_logger::ptr component_logger::component(const std::string& _name) const {
    return std::make_unique<component_logger>(m_logger, m_module_name, _name);
}

component_logger::indent_guard component_logger::indent() const {
    ++m_indent;
    return execute_on_scope_exit([this] { --m_indent; });
}

component_logger::indent_guard
component_logger::enter_function(const source_location& _location) const {
    debug("%1%") % _location.function();
    return indent();
}

component_logger::indent_guard
component_logger::enter_function_short(const source_location& _location,
                                       const std::string_view& _text) const {
    debug("%1%: %2%") % _location.short_function() % _text;
    return indent();
}

component_logger::indent_guard
component_logger::enter_scope(const source_location& _location) const {
    debug("%1%:%2%") % _location.short_file() % _location.line();
    return indent();
}

component_logger::indent_guard component_logger::enter_scope(const std::string_view& _text) const {
    debug("%1%") % _text;
    return indent();
}

component_logger::indent_guard component_logger::enter_scope(const source_location& _location,
                                                             const std::string_view& _text) const {
    debug("%1%:%2% (%3%)") % _location.short_file() % _location.line() % _text;
    return indent();
}

void component_logger::log_exception() const {
    error("%1%") % exception_to_string();
}

void component_logger::log_exception(const source_location& _location) const {
    m_logger.error("Caught exeption").location(_location);
    log_exception();
}

void component_logger::log_exception(const located_exception& _exception) const {
    error("%1%") % exception_to_string(_exception);
}

void component_logger::log_error(const boost::system::error_code& _error,
                                 const source_location& _location) const {
    error("%1%:%2%: %3%") % _location.short_file() % _location.line() % _error.message();
}

logger::logger(const std::string& _module_name, const std::string& _component_name)
    : component_logger(*this, _module_name, _component_name)
    , m_module_name(_module_name)
    , m_debug_socket(m_zmq_context, ::zmq::socket_type::push) {
    m_debug_socket.set(::zmq::sockopt::linger, DEBUG_SOCKET_LINGER_MS);
    openlog(m_module_name.c_str(), 0, LOG_USER);
    set_debug(false);
    info("Starting %1%") % m_module_name;
}

logger::~logger() {
    closelog();
}

void logger::set_debug(bool _debug) {
    closelog();
    openlog(m_module_name.c_str(), _debug ? LOG_PERROR : 0, LOG_USER);
    setlogmask(_debug ? LOG_UPTO(LOG_DEBUG) : LOG_UPTO(LOG_INFO));
    m_debug = _debug;
}

void logger::connect(const std::string& _address) {
    {
        const std::lock_guard lock(m_socket_mutex);
        m_debug_socket.connect(_address);
        m_connected = true;
    }
    debug("Connected to socket");
}

void logger::write(int _level, const std::string& _date, const std::string& _indent,
                   const std::string& _body, const std::string& _zmq_prefix) const {
    if (m_debug) {
        syslog(_level, "%s", (_date + _indent + _body).c_str());
    } else {
        syslog(_level, "%s", _body.c_str());
    }
    if (!m_writing_to_socket) {
        return;
    }
    const auto text = _zmq_prefix + _date + _indent + _body;
    const std::lock_guard lock(m_socket_mutex);
    if (!m_connected) {
        return;
    }
    try {
        // Without a collector, or with a full queue, the copy is dropped.
        (void)m_debug_socket.send(::zmq::buffer(text), ::zmq::send_flags::dontwait);
    } catch (const ::zmq::error_t&) {
    }
}

std::string exception_to_string() {
    try {
        throw;
    } catch (const located_exception& e) {
        return exception_to_string(e);
    } catch (const std::exception& e) {
        return std::string("std::exception::what(): ") + e.what();
    } catch (...) {
        return "Unknown exception";
    }
}

std::string exception_to_string(const located_exception& _exception) {
    std::ostringstream os;
    _exception.describe(os);
    return os.str();
}

} // namespace nkp::libs::core
