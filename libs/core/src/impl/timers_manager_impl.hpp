#pragma once

#include "core/logger.hpp"
#include "core/timers_manager.hpp"

namespace nkp::libs::core {

class events_loop;

class timers_manager_impl final : public timers_manager {
public:
    timers_manager_impl(events_loop& _events_loop, const component_logger& _logger)
        : m_events_loop(_events_loop)
        , m_logger(_logger) {}

    // timers_manager
    timer::time_point current_time_point() const override;
    timestamp current_timestamp() const override { return timestamp::current_time(); }
    timer::ptr create_timer(std::chrono::nanoseconds _duration, const std::string& _name,
                            timer::callback _callback, const source_location& _loc) override;
    timer::ptr create_timer(timer::time_point _time_point, const std::string& _name,
                            timer::callback _callback, const source_location& _loc) override;
    periodic_timer::ptr create_periodic_timer(std::chrono::nanoseconds _period,
                                              const std::string& _name, timer::callback _callback,
                                              const source_location& _loc) override;
    periodic_timer::ptr create_periodic_timer(std::chrono::nanoseconds _period,
                                              periodic_timer::execute_now _tag,
                                              const std::string& _name, timer::callback _callback,
                                              const source_location& _loc) override;

private:
    events_loop& m_events_loop;
    const component_logger& m_logger;
};

} // namespace nkp::libs::core
