#include "periodic_timer_impl.hpp"

#include "core/exception.hpp"
#include "core/timers_manager.hpp"

namespace nkp::libs::core {

periodic_timer_impl::periodic_timer_impl(timers_manager& _timers_manager,
                                         std::chrono::nanoseconds _period, const std::string& _name,
                                         timer::callback _callback, const source_location&,
                                         bool _execute_now)
    : m_name(_name)
    , m_timers_manager(_timers_manager)
    , m_period(_period)
    , m_callback(std::make_shared<timer::callback>(std::move(_callback))) {
    CORE_CHECK(_period.count() > 0);
    restart_impl();
    if (_execute_now) {
        expire_now_impl();
    }
}

void periodic_timer_impl::reset(std::chrono::nanoseconds _period) {
    CORE_CHECK(_period.count() > 0);
    m_period = _period;
    restart();
}

void periodic_timer_impl::stop() {
    m_timer.reset();
}

void periodic_timer_impl::restart() {
    restart_impl();
}

void periodic_timer_impl::expire_now() {
    expire_now_impl();
}

void periodic_timer_impl::restart_impl() {
    auto tick = [weak = std::weak_ptr<timer::callback>(m_callback),
                 self = this](timer::time_point _time_point) {
        const auto callback = weak.lock();
        if (!callback) {
            return;
        }
        // Re-armed first, so the timer keeps ticking whatever the callback does.
        self->m_timer->reset(self->get_next_time_point(_time_point));
        (*callback)(_time_point);
    };
    m_timer.reset();
    m_timer = m_timers_manager.create_timer(m_timers_manager.current_time_point() + m_period,
                                            m_name, std::move(tick), CORE_SOURCE_LOCATION);
}

void periodic_timer_impl::expire_now_impl() {
    if (m_timer) {
        m_timer->reset(m_timers_manager.current_time_point());
    }
}

timer::time_point periodic_timer_impl::get_next_time_point(timer::time_point _time_point) const {
    const auto now = m_timers_manager.current_time_point();
    if (_time_point > now) {
        return _time_point;
    }
    return _time_point + m_period * ((now - _time_point) / m_period + 1);
}

} // namespace nkp::libs::core
