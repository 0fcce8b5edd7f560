#include "signals_handle_impl.hpp"

#include <csignal>

namespace nkp::libs::core {

signals_handle_impl::signals_handle_impl(core& _core, events_loop& _main_events_loop)
    : m_thread_events_loop(_core.create_events_loop("stop_on_signals"))
    , m_main_events_loop(_main_events_loop)
    , m_signals(std::make_unique<boost::asio::signal_set>(m_thread_events_loop->get_io_context(),
                                                          SIGINT, SIGTERM)) {
    m_signals->async_wait([this](const boost::system::error_code& _error, int) {
        if (_error) {
            return;
        }
        m_signal_is_received = true;
        m_main_events_loop.stop();
        m_thread_events_loop->stop();
    });
    m_thread = std::thread([this] {
        m_thread_events_loop->run();
        // Gone with the set: a second signal has its default effect during shutdown.
        m_signals.reset();
    });
}

signals_handle_impl::~signals_handle_impl() {
    m_thread_events_loop->stop();
    m_thread.join();
    m_thread_events_loop.reset();
}

} // namespace nkp::libs::core
