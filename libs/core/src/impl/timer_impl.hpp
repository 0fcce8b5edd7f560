#pragma once

#include "core/logger.hpp"
#include "core/timer.hpp"

#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>

#include <memory>

namespace nkp::libs::core {

class timer_impl final : public timer {
public:
    timer_impl(boost::asio::io_context& _io_context, const component_logger& _logger,
               time_point _time_point, callback _callback);
    ~timer_impl() override;

    // timer
    bool is_waiting() const override { return m_data->m_waiting; }
    void reset(time_point _time_point) override;
    void stop() override;

private:
    // What a completion handler may reach, only while the timer lives.
    struct shared_data {
        callback m_callback;
        bool m_waiting = false;
    };

    boost::asio::steady_timer m_timer;
    // The expiry armed for; the zero time point when stopped. A handler of an earlier
    // arming finds another value and does nothing.
    time_point m_time_point{};
    const component_logger& m_logger;
    std::shared_ptr<shared_data> m_data;
};

} // namespace nkp::libs::core
