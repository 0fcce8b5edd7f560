#pragma once

#include "core/http/client.hpp"
#include "core/http/method.hpp"
#include "core/message_stream.hpp"
#include "core/periodic_timer.hpp"
#include "core/redis/context.hpp"
#include "core/source_location.hpp"
#include "core/timer.hpp"
#include "core/udp/socket.hpp"

#include <boost/asio/io_context.hpp>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nkp::libs::core {

class timers_manager;

namespace tcp {
class manager;
}

namespace zmq {
class manager;
}

// A single-threaded dispatcher of handlers, and the factory of the asynchronous objects
// bound to it. Whoever calls run lends it a thread; objects it made are used on that thread
// only and must be destroyed before the loop.
class events_loop {
public:
    using ptr = std::unique_ptr<events_loop>;

    // While one lives, run does not return for lack of work.
    class work {
    public:
        using ptr = std::unique_ptr<work>;
        virtual ~work() = default;
    };

    // While one lives, SIGINT and SIGTERM stop the loop (once; a second signal has its
    // default effect).
    class signals_handle {
    public:
        using ptr = std::unique_ptr<signals_handle>;
        virtual ~signals_handle() = default;
        virtual bool signal_is_received() const = 0;
    };

    virtual ~events_loop() = default;

    // Until stopped or out of work; a handler's exception propagates.
    virtual void run() = 0;
    // Runs again after each handler's exception, logged with "Caught exeption" at the
    // location; returns only when run returns normally.
    virtual void run_catch_exceptions(const source_location& _loc) = 0;
    // Safe from any thread; run returns once the handler in progress has returned.
    virtual void stop() = 0;
    virtual bool is_stopped() const = 0;
    virtual signals_handle::ptr stop_on_signals() = 0;

    virtual timers_manager& get_timers() = 0;
    virtual timer::ptr create_timer(timer::time_point _time_point, const std::string& _name,
                                    timer::callback _callback, const source_location& _loc) = 0;
    virtual periodic_timer::ptr create_periodic_timer(std::chrono::nanoseconds _period,
                                                      const std::string& _name,
                                                      timer::callback _callback,
                                                      const source_location& _loc) = 0;
    virtual periodic_timer::ptr create_periodic_timer(std::chrono::nanoseconds _period,
                                                      periodic_timer::execute_now _tag,
                                                      const std::string& _name,
                                                      timer::callback _callback,
                                                      const source_location& _loc) = 0;

    // Topics are adapted ("zone_event" is "#zone_event") and payloads start at the first "{".
    virtual message_stream::ptr create_zmq_message_stream(const std::string& _address) = 0;
    // Topics and messages as they are on the wire.
    virtual message_stream::ptr create_zmq_raw_message_stream(const std::string& _address) = 0;

    // Not supported: each throws exception naming the operation.
    virtual udp::socket::ptr create_udp_socket(ip_protocol _protocol, int _port) = 0;
    virtual udp::socket::ptr create_udp_socket(const std::string& _address, int _port) = 0;
    virtual tcp::manager& get_tcp() = 0;

    virtual zmq::manager& get_zmq() = 0;

    // No disabled method, 10 worker threads.
    virtual http::client::ptr create_http_client(const std::string& _address,
                                                 std::chrono::seconds _timeout) = 0;
    // Results of asynchronous requests are delivered on this loop.
    virtual http::client::ptr create_http_client(const std::string& _address,
                                                 std::chrono::seconds _timeout,
                                                 const std::vector<http::method>& _disabled_methods,
                                                 int _num_threads) = 0;

    // Connects in the background; the result is the context, or nothing when the attempt
    // failed. restart() of a completed handle tries again.
    virtual std::shared_ptr<async_operation_handle<std::optional<redis::context::ptr>>>
    create_redis_context(std::string_view _ip, int _port, std::string_view _password, int _db) = 0;

    // Queues a copy of the handler; safe from any thread. Handlers posted by one thread run
    // in the order posted.
    virtual void post(std::function<void()> _handler, const source_location& _loc = {}) = 0;
    virtual work::ptr create_work() = 0;

    virtual boost::asio::io_context& get_io_context() = 0;
    virtual const boost::asio::io_context& get_io_context() const = 0;
};

} // namespace nkp::libs::core
