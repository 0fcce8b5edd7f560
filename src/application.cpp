#include "application.hpp"

#include "messenger_impl.hpp"

namespace nkp {

application::application(libs::core::events_loop& _events_loop, const config& _config,
                         libs::core::logger& _logger)
    : m_logger(_logger)
    , m_events_loop(_events_loop)
    , m_message_stream(_events_loop.create_zmq_message_stream(_config.proxy.output_port)) {
    std::vector<libs::core::http::method> disabled;
    if (!_config.modify_server_state) {
        disabled.push_back(libs::core::http::method::post);
    }
    m_http_client = _events_loop.create_http_client(
        _config.server.url, std::chrono::seconds(_config.server.timeout), disabled, 1);
    m_redis_init = _events_loop.create_redis_context(_config.redis.host, _config.redis.port,
                                                     _config.redis.password, 0);
    m_redis_init->set_callback([this](std::optional<libs::core::redis::context::ptr> _context) {
        if (_context) {
            m_redis_context = std::move(*_context);
        }
    });
    m_initialization_timer = _events_loop.create_periodic_timer(
        std::chrono::seconds(1), "initialization",
        [this, &_config](libs::core::timer::time_point) { initialization_tick(_config); }, {});
}

application::~application() = default;

void application::initialization_tick(const config& _config) {
    m_logger.debug("initializing...");
    if (!m_redis_context) {
        if (m_redis_init->is_complete()) {
            m_redis_init->restart();
        }
        return;
    }
    if (!m_context) {
        m_context = std::make_unique<context::writable_context>();
    }
    if (!m_external_storage) {
        m_external_storage = std::make_unique<external_storage>(*m_context, *m_redis_context,
                                                                m_events_loop.get_timers(), m_logger);
    }
    if (!m_context_updater) {
        m_context_updater = std::make_unique<context_updater>(
            *m_context, *m_http_client, *m_message_stream, m_events_loop, m_logger, _config.zone_types);
        m_context_updater->initialize();
    }
    if (!m_messenger) {
        m_messenger = std::make_unique<messenger_impl>(*m_message_stream, *m_http_client, m_logger);
    }
    if (!m_dispatcher) {
        m_dispatcher = std::make_unique<dispatcher>(m_events_loop, *m_context, m_logger, *m_messenger,
                                                    _config.zone_types);
    }
    m_initialization_timer->stop();
    start_application();
}

void application::start_application() {
    m_logger.debug("called").short_function(CORE_SOURCE_LOCATION);
    m_dispatcher->initialize();
}

} // namespace nkp
