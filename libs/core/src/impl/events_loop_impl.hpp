#pragma once

#include "core/core.hpp"
#include "core/events_loop.hpp"
#include "core/logger.hpp"
#include "core/timers_manager.hpp"
#include "core/zmq/manager.hpp"

#include <boost/asio/io_context.hpp>

#include <memory>

namespace nkp::libs::core {

class events_loop_impl final : public events_loop {
public:
    events_loop_impl(core& _core, const component_logger& _logger);
    // Lets the handlers of operations cancelled by objects destroyed before run, for at most
    // 10 seconds, then destroys the managers.
    ~events_loop_impl() override;

    // events_loop
    void run() override { m_io_context.run(); }
    void run_catch_exceptions(const source_location& _loc) override;
    void stop() override { m_io_context.stop(); }
    bool is_stopped() const override { return m_io_context.stopped(); }
    signals_handle::ptr stop_on_signals() override;
    timers_manager& get_timers() override { return *m_timers; }
    timer::ptr create_timer(timer::time_point _time_point, const std::string& _name,
                            timer::callback _callback, const source_location& _loc) override;
    periodic_timer::ptr create_periodic_timer(std::chrono::nanoseconds _period,
                                              const std::string& _name, timer::callback _callback,
                                              const source_location& _loc) override;
    periodic_timer::ptr create_periodic_timer(std::chrono::nanoseconds _period,
                                              periodic_timer::execute_now _tag,
                                              const std::string& _name, timer::callback _callback,
                                              const source_location& _loc) override;
    message_stream::ptr create_zmq_message_stream(const std::string& _address) override;
    message_stream::ptr create_zmq_raw_message_stream(const std::string& _address) override;
    udp::socket::ptr create_udp_socket(ip_protocol _protocol, int _port) override;
    udp::socket::ptr create_udp_socket(const std::string& _address, int _port) override;
    tcp::manager& get_tcp() override;
    zmq::manager& get_zmq() override { return *m_zmq; }
    http::client::ptr create_http_client(const std::string& _address,
                                         std::chrono::seconds _timeout) override;
    http::client::ptr create_http_client(const std::string& _address, std::chrono::seconds _timeout,
                                         const std::vector<http::method>& _disabled_methods,
                                         int _num_threads) override;
    std::shared_ptr<async_operation_handle<std::optional<redis::context::ptr>>>
    create_redis_context(std::string_view _ip, int _port, std::string_view _password,
                         int _db) override;
    void post(std::function<void()> _handler, const source_location& _loc) override;
    work::ptr create_work() override;
    boost::asio::io_context& get_io_context() override { return m_io_context; }
    const boost::asio::io_context& get_io_context() const override { return m_io_context; }

private:
    core& m_core;
    boost::asio::io_context m_io_context;
    const component_logger& m_logger;
    std::unique_ptr<timers_manager> m_timers;
    std::unique_ptr<zmq::manager> m_zmq;
};

} // namespace nkp::libs::core
