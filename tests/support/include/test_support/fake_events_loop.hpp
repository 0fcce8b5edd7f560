#pragma once

#include "core/events_loop.hpp"
#include "core/timers_manager.hpp"

#include <boost/asio/io_context.hpp>

#include <chrono>
#include <memory>
#include <vector>

namespace nkp::test_support {

// An events loop whose clock and timers the test drives by hand: advance() fires every tick
// due, in time order. Only the timers are real; every other operation fails.
class fake_events_loop final : public libs::core::events_loop, public libs::core::timers_manager {
public:
    fake_events_loop();
    ~fake_events_loop() override;

    // Moves the clock on, firing the ticks due meanwhile at their scheduled times.
    void advance(std::chrono::nanoseconds _duration);
    // Timers armed now.
    std::size_t armed_timers() const;

    // events_loop
    void run() override;
    void run_catch_exceptions(const libs::core::source_location&) override;
    void stop() override;
    bool is_stopped() const override;
    signals_handle::ptr stop_on_signals() override;
    libs::core::timers_manager& get_timers() override { return *this; }
    libs::core::timer::ptr create_timer(libs::core::timer::time_point _time_point,
                                        const std::string& _name,
                                        libs::core::timer::callback _callback,
                                        const libs::core::source_location& _loc) override;
    libs::core::periodic_timer::ptr
    create_periodic_timer(std::chrono::nanoseconds _period, const std::string& _name,
                          libs::core::timer::callback _callback,
                          const libs::core::source_location& _loc) override;
    libs::core::periodic_timer::ptr
    create_periodic_timer(std::chrono::nanoseconds _period,
                          libs::core::periodic_timer::execute_now _tag, const std::string& _name,
                          libs::core::timer::callback _callback,
                          const libs::core::source_location& _loc) override;
    libs::core::message_stream::ptr create_zmq_message_stream(const std::string&) override;
    libs::core::message_stream::ptr create_zmq_raw_message_stream(const std::string&) override;
    libs::core::udp::socket::ptr create_udp_socket(libs::core::ip_protocol, int) override;
    libs::core::udp::socket::ptr create_udp_socket(const std::string&, int) override;
    libs::core::tcp::manager& get_tcp() override;
    libs::core::zmq::manager& get_zmq() override;
    libs::core::http::client::ptr create_http_client(const std::string&,
                                                     std::chrono::seconds) override;
    libs::core::http::client::ptr create_http_client(const std::string&, std::chrono::seconds,
                                                     const std::vector<libs::core::http::method>&,
                                                     int) override;
    std::shared_ptr<
        libs::core::async_operation_handle<std::optional<libs::core::redis::context::ptr>>>
    create_redis_context(std::string_view, int, std::string_view, int) override;
    void post(std::function<void()> _handler, const libs::core::source_location& _loc) override;
    work::ptr create_work() override;
    boost::asio::io_context& get_io_context() override { return m_io_context; }
    const boost::asio::io_context& get_io_context() const override { return m_io_context; }

    // timers_manager
    libs::core::timer::time_point current_time_point() const override { return m_now; }
    libs::core::timestamp current_timestamp() const override;
    libs::core::timer::ptr create_timer(std::chrono::nanoseconds _duration,
                                        const std::string& _name,
                                        libs::core::timer::callback _callback,
                                        const libs::core::source_location& _loc) override;

    struct timer_state;

private:
    boost::asio::io_context m_io_context;
    libs::core::timer::time_point m_now{std::chrono::hours(1)};
    std::vector<std::weak_ptr<timer_state>> m_timers;
};

} // namespace nkp::test_support
