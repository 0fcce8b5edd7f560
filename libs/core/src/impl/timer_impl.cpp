#include "timer_impl.hpp"

namespace nkp::libs::core {

timer_impl::timer_impl(boost::asio::io_context& _io_context, const component_logger& _logger,
                       time_point _time_point, callback _callback)
    : m_timer(_io_context)
    , m_logger(_logger)
    , m_data(std::make_shared<shared_data>(shared_data{std::move(_callback), false})) {
    reset(_time_point);
}

timer_impl::~timer_impl() {
    // The shared data goes first, so a queued completion finds nothing to call.
    m_data.reset();
}

void timer_impl::reset(time_point _time_point) {
    stop();
    m_timer.expires_at(_time_point);
    m_time_point = _time_point;
    m_timer.async_wait(
        [&logger = m_logger, armed = &m_time_point, _time_point,
         weak = std::weak_ptr<shared_data>(m_data)](const boost::system::error_code& _error) {
            const auto data = weak.lock();
            if (data) {
                data->m_waiting = false;
            }
            if (_error) {
                if (_error != boost::asio::error::operation_aborted) {
                    logger.log_error(_error, CORE_SOURCE_LOCATION);
                }
                return;
            }
            // The armed time point is read only once the timer is known to be alive.
            if (data && *armed == _time_point) {
                // The callback may destroy the timer; the local owner keeps it alive meanwhile.
                data->m_callback(_time_point);
            }
        });
    m_data->m_waiting = true;
}

void timer_impl::stop() {
    m_data->m_waiting = false;
    m_time_point = time_point{};
    m_timer.cancel();
}

} // namespace nkp::libs::core
