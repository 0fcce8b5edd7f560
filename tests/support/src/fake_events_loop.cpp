#include "test_support/fake_events_loop.hpp"

#include <stdexcept>

namespace nkp::test_support {

namespace core = libs::core;

// One armed or disarmed tick; the timer objects own it, the loop watches it weakly.
struct fake_events_loop::timer_state {
    std::optional<core::timer::time_point> next;
    std::chrono::nanoseconds period{0};
    core::timer::callback callback;
};

namespace {

class fake_timer final : public core::timer {
public:
    explicit fake_timer(std::shared_ptr<fake_events_loop::timer_state> _state)
        : m_state(std::move(_state)) {}
    bool is_waiting() const override { return m_state->next.has_value(); }
    void reset(time_point _time_point) override { m_state->next = _time_point; }
    void stop() override { m_state->next.reset(); }

private:
    std::shared_ptr<fake_events_loop::timer_state> m_state;
};

class fake_periodic_timer final : public core::periodic_timer {
public:
    fake_periodic_timer(std::shared_ptr<fake_events_loop::timer_state> _state,
                        const fake_events_loop& _loop)
        : m_state(std::move(_state))
        , m_loop(_loop) {}
    void reset(std::chrono::nanoseconds _period) override {
        m_state->period = _period;
        restart();
    }
    void stop() override { m_state->next.reset(); }
    void restart() override { m_state->next = m_loop.current_time_point() + m_state->period; }
    void expire_now() override { m_state->next = m_loop.current_time_point(); }

private:
    std::shared_ptr<fake_events_loop::timer_state> m_state;
    const fake_events_loop& m_loop;
};

[[noreturn]] void unsupported(const char* _operation) {
    throw std::logic_error(std::string("fake_events_loop: ") + _operation + " is not supported");
}

} // namespace

fake_events_loop::fake_events_loop() = default;
fake_events_loop::~fake_events_loop() = default;

void fake_events_loop::advance(std::chrono::nanoseconds _duration) {
    const auto until = m_now + _duration;
    for (;;) {
        std::shared_ptr<timer_state> due;
        for (const auto& weak : m_timers) {
            const auto state = weak.lock();
            if (state && state->next && *state->next <= until &&
                (!due || *state->next < *due->next)) {
                due = state;
            }
        }
        if (!due) {
            break;
        }
        const auto at = *due->next;
        m_now = std::max(m_now, at);
        // A periodic tick is re-armed before its callback; a one-shot one is spent.
        due->next = due->period.count() > 0 ? std::optional(at + due->period) : std::nullopt;
        auto callback = due->callback;
        callback(at);
    }
    m_now = until;
    std::erase_if(m_timers, [](const auto& _weak) { return _weak.expired(); });
}

std::size_t fake_events_loop::armed_timers() const {
    std::size_t armed = 0;
    for (const auto& weak : m_timers) {
        const auto state = weak.lock();
        armed += state && state->next ? 1 : 0;
    }
    return armed;
}

void fake_events_loop::run() {}
void fake_events_loop::run_catch_exceptions(const core::source_location&) {}
void fake_events_loop::stop() {}
bool fake_events_loop::is_stopped() const {
    return false;
}
core::events_loop::signals_handle::ptr fake_events_loop::stop_on_signals() {
    unsupported("stop_on_signals");
}

core::timer::ptr fake_events_loop::create_timer(core::timer::time_point _time_point,
                                                const std::string&, core::timer::callback _callback,
                                                const core::source_location&) {
    auto state = std::make_shared<timer_state>();
    state->next = _time_point;
    state->callback = std::move(_callback);
    m_timers.push_back(state);
    return std::make_unique<fake_timer>(std::move(state));
}

core::timer::ptr fake_events_loop::create_timer(std::chrono::nanoseconds _duration,
                                                const std::string& _name,
                                                core::timer::callback _callback,
                                                const core::source_location& _loc) {
    return create_timer(m_now + _duration, _name, std::move(_callback), _loc);
}

core::periodic_timer::ptr fake_events_loop::create_periodic_timer(std::chrono::nanoseconds _period,
                                                                  const std::string&,
                                                                  core::timer::callback _callback,
                                                                  const core::source_location&) {
    auto state = std::make_shared<timer_state>();
    state->period = _period;
    state->next = m_now + _period;
    state->callback = std::move(_callback);
    m_timers.push_back(state);
    return std::make_unique<fake_periodic_timer>(std::move(state), *this);
}

core::periodic_timer::ptr fake_events_loop::create_periodic_timer(
    std::chrono::nanoseconds _period, core::periodic_timer::execute_now, const std::string& _name,
    core::timer::callback _callback, const core::source_location& _loc) {
    auto timer = create_periodic_timer(_period, _name, std::move(_callback), _loc);
    timer->expire_now();
    return timer;
}

core::timestamp fake_events_loop::current_timestamp() const {
    return core::timestamp::current_time();
}

core::message_stream::ptr fake_events_loop::create_zmq_message_stream(const std::string&) {
    unsupported("create_zmq_message_stream");
}
core::message_stream::ptr fake_events_loop::create_zmq_raw_message_stream(const std::string&) {
    unsupported("create_zmq_raw_message_stream");
}
core::udp::socket::ptr fake_events_loop::create_udp_socket(core::ip_protocol, int) {
    unsupported("create_udp_socket");
}
core::udp::socket::ptr fake_events_loop::create_udp_socket(const std::string&, int) {
    unsupported("create_udp_socket");
}
core::tcp::manager& fake_events_loop::get_tcp() {
    unsupported("get_tcp");
}
core::zmq::manager& fake_events_loop::get_zmq() {
    unsupported("get_zmq");
}
core::http::client::ptr fake_events_loop::create_http_client(const std::string&,
                                                             std::chrono::seconds) {
    unsupported("create_http_client");
}
core::http::client::ptr fake_events_loop::create_http_client(const std::string&,
                                                             std::chrono::seconds,
                                                             const std::vector<core::http::method>&,
                                                             int) {
    unsupported("create_http_client");
}
std::shared_ptr<core::async_operation_handle<std::optional<core::redis::context::ptr>>>
fake_events_loop::create_redis_context(std::string_view, int, std::string_view, int) {
    unsupported("create_redis_context");
}
void fake_events_loop::post(std::function<void()> _handler, const core::source_location&) {
    _handler();
}
core::events_loop::work::ptr fake_events_loop::create_work() {
    unsupported("create_work");
}

} // namespace nkp::test_support
