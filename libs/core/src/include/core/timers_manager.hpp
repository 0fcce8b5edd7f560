#pragma once

#include "core/periodic_timer.hpp"
#include "core/source_location.hpp"
#include "core/timer.hpp"
#include "core/timestamp.hpp"

#include <chrono>
#include <string>

namespace nkp::libs::core {

// Clock and timer factory of one events loop. Timers are used on the loop's thread only and
// must be destroyed before the loop. Names and locations document the caller; timers keep
// neither.
class timers_manager {
public:
    virtual ~timers_manager() = default;

    // The steady clock, which all scheduling uses.
    virtual timer::time_point current_time_point() const = 0;
    virtual timestamp current_timestamp() const = 0;

    virtual timer::ptr create_timer(std::chrono::nanoseconds _duration, const std::string& _name,
                                    timer::callback _callback, const source_location& _loc) = 0;
    // A time point in the past calls back at the next turn of the loop.
    virtual timer::ptr create_timer(timer::time_point _time_point, const std::string& _name,
                                    timer::callback _callback, const source_location& _loc) = 0;
    // The first call comes one period from now.
    virtual periodic_timer::ptr create_periodic_timer(std::chrono::nanoseconds _period,
                                                      const std::string& _name,
                                                      timer::callback _callback,
                                                      const source_location& _loc) = 0;
    // The first call comes at once (on the loop), the next ones a period apart.
    virtual periodic_timer::ptr create_periodic_timer(std::chrono::nanoseconds _period,
                                                      periodic_timer::execute_now _tag,
                                                      const std::string& _name,
                                                      timer::callback _callback,
                                                      const source_location& _loc) = 0;
};

} // namespace nkp::libs::core
