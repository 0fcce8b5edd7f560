#include "timers_manager_impl.hpp"

#include "core/events_loop.hpp"
#include "periodic_timer_impl.hpp"
#include "timer_impl.hpp"

namespace nkp::libs::core {

timer::time_point timers_manager_impl::current_time_point() const {
    return std::chrono::time_point_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now());
}

timer::ptr timers_manager_impl::create_timer(std::chrono::nanoseconds _duration,
                                             const std::string& _name, timer::callback _callback,
                                             const source_location& _loc) {
    return create_timer(current_time_point() + _duration, _name, std::move(_callback), _loc);
}

timer::ptr timers_manager_impl::create_timer(timer::time_point _time_point, const std::string&,
                                             timer::callback _callback, const source_location&) {
    return std::make_unique<timer_impl>(m_events_loop.get_io_context(), m_logger, _time_point,
                                        std::move(_callback));
}

periodic_timer::ptr timers_manager_impl::create_periodic_timer(std::chrono::nanoseconds _period,
                                                               const std::string& _name,
                                                               timer::callback _callback,
                                                               const source_location& _loc) {
    return std::make_unique<periodic_timer_impl>(*this, _period, _name, std::move(_callback), _loc,
                                                 false);
}

periodic_timer::ptr timers_manager_impl::create_periodic_timer(std::chrono::nanoseconds _period,
                                                               periodic_timer::execute_now,
                                                               const std::string& _name,
                                                               timer::callback _callback,
                                                               const source_location& _loc) {
    return std::make_unique<periodic_timer_impl>(*this, _period, _name, std::move(_callback), _loc,
                                                 true);
}

} // namespace nkp::libs::core
