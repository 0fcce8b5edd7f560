#include "events_loop_impl.hpp"

#include "core/exception.hpp"
#include "http/client_impl.hpp"
#include "message_stream_zmq.hpp"
#include "message_stream_zmq_raw.hpp"
#include "redis/context_impl.hpp"
#include "signals_handle_impl.hpp"
#include "timers_manager_impl.hpp"
#include "zmq/manager_impl.hpp"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/post.hpp>

namespace nkp::libs::core {

namespace {

constexpr auto DESTRUCTION_RUN_LIMIT = std::chrono::seconds(10);

class work_impl final : public events_loop::work {
public:
    explicit work_impl(boost::asio::io_context& _io_context)
        : m_guard(boost::asio::make_work_guard(_io_context)) {}

private:
    boost::asio::executor_work_guard<boost::asio::io_context::executor_type> m_guard;
};

} // namespace

events_loop_impl::events_loop_impl(core& _core, const component_logger& _logger)
    : m_core(_core)
    , m_logger(_logger)
    , m_timers(std::make_unique<timers_manager_impl>(*this, _logger))
    , m_zmq(std::make_unique<zmq::manager_impl>(m_io_context, _logger)) {}

events_loop_impl::~events_loop_impl() {
    m_io_context.restart();
    const auto deadline = std::chrono::steady_clock::now() + DESTRUCTION_RUN_LIMIT;
    while (!m_logger.execute(CORE_SOURCE_LOCATION, [&] { m_io_context.run_until(deadline); })) {
    }
    m_zmq.reset();
    m_timers.reset();
}

void events_loop_impl::run_catch_exceptions(const source_location& _loc) {
    while (!m_logger.execute(_loc, [this] { run(); })) {
    }
}

events_loop::signals_handle::ptr events_loop_impl::stop_on_signals() {
    return std::make_unique<signals_handle_impl>(m_core, *this);
}

timer::ptr events_loop_impl::create_timer(timer::time_point _time_point, const std::string& _name,
                                          timer::callback _callback, const source_location& _loc) {
    return m_timers->create_timer(_time_point, _name, std::move(_callback), _loc);
}

periodic_timer::ptr events_loop_impl::create_periodic_timer(std::chrono::nanoseconds _period,
                                                            const std::string& _name,
                                                            timer::callback _callback,
                                                            const source_location& _loc) {
    return m_timers->create_periodic_timer(_period, _name, std::move(_callback), _loc);
}

periodic_timer::ptr events_loop_impl::create_periodic_timer(std::chrono::nanoseconds _period,
                                                            periodic_timer::execute_now _tag,
                                                            const std::string& _name,
                                                            timer::callback _callback,
                                                            const source_location& _loc) {
    return m_timers->create_periodic_timer(_period, _tag, _name, std::move(_callback), _loc);
}

message_stream::ptr events_loop_impl::create_zmq_message_stream(const std::string& _address) {
    return std::make_unique<message_stream_zmq>(m_io_context, m_logger, _address);
}

message_stream::ptr events_loop_impl::create_zmq_raw_message_stream(const std::string& _address) {
    return std::make_unique<message_stream_zmq_raw>(m_io_context, m_logger, _address);
}

udp::socket::ptr events_loop_impl::create_udp_socket(ip_protocol, int) {
    throw exception("events_loop::create_udp_socket: UDP sockets are not supported",
                    CORE_SOURCE_LOCATION);
}

udp::socket::ptr events_loop_impl::create_udp_socket(const std::string&, int) {
    throw exception("events_loop::create_udp_socket: UDP sockets are not supported",
                    CORE_SOURCE_LOCATION);
}

tcp::manager& events_loop_impl::get_tcp() {
    throw exception("events_loop::get_tcp: TCP sockets are not supported", CORE_SOURCE_LOCATION);
}

http::client::ptr events_loop_impl::create_http_client(const std::string& _address,
                                                       std::chrono::seconds _timeout) {
    return create_http_client(_address, _timeout, {}, 10);
}

http::client::ptr
events_loop_impl::create_http_client(const std::string& _address, std::chrono::seconds _timeout,
                                     const std::vector<http::method>& _disabled_methods,
                                     int _num_threads) {
    return std::make_unique<http::client_impl>(*this, m_core, m_logger, _address, _timeout,
                                               _disabled_methods, _num_threads);
}

std::shared_ptr<async_operation_handle<std::optional<redis::context::ptr>>>
events_loop_impl::create_redis_context(std::string_view _ip, int _port, std::string_view _password,
                                       int _db) {
    return redis::context_impl::create(*this, m_logger, _ip, _port, _password, _db);
}

void events_loop_impl::post(std::function<void()> _handler, const source_location&) {
    boost::asio::post(m_io_context, std::move(_handler));
}

events_loop::work::ptr events_loop_impl::create_work() {
    return std::make_unique<work_impl>(m_io_context);
}

} // namespace nkp::libs::core
