#pragma once

#include "core/core.hpp"
#include "core/events_loop.hpp"

#include <boost/asio/signal_set.hpp>

#include <atomic>
#include <memory>
#include <thread>

namespace nkp::libs::core {

// Watches SIGINT and SIGTERM on a loop and thread of its own, and stops the main loop on the
// first of them.
class signals_handle_impl final : public events_loop::signals_handle {
public:
    signals_handle_impl(core& _core, events_loop& _main_events_loop);
    // Ends the thread without stopping the main loop.
    ~signals_handle_impl() override;

    // signals_handle
    bool signal_is_received() const override { return m_signal_is_received; }

private:
    events_loop::ptr m_thread_events_loop;
    events_loop& m_main_events_loop;
    std::atomic<bool> m_signal_is_received{false};
    // Made before the thread starts, so signals are caught once the constructor returns.
    std::unique_ptr<boost::asio::signal_set> m_signals;
    std::thread m_thread;
};

} // namespace nkp::libs::core
