#pragma once

#include "core/periodic_timer.hpp"
#include "core/source_location.hpp"
#include "core/timer.hpp"

#include <chrono>
#include <memory>
#include <string>

namespace nkp::libs::core {

class timers_manager;

class periodic_timer_impl final : public periodic_timer {
public:
    periodic_timer_impl(timers_manager& _timers_manager, std::chrono::nanoseconds _period,
                        const std::string& _name, timer::callback _callback,
                        const source_location& _loc, bool _execute_now);

    // periodic_timer
    void reset(std::chrono::nanoseconds _period) override;
    void stop() override;
    void restart() override;
    void expire_now() override;

private:
    void restart_impl();
    void expire_now_impl();
    // The first instant of the grid _time_point + k * period that is not in the past.
    timer::time_point get_next_time_point(timer::time_point _time_point) const;

    std::string m_name;
    timers_manager& m_timers_manager;
    // Carries the next tick; empty after stop().
    timer::ptr m_timer;
    std::chrono::nanoseconds m_period;
    // Ticks hold a weak reference, so none runs once this timer is gone.
    std::shared_ptr<timer::callback> m_callback;
};

} // namespace nkp::libs::core
