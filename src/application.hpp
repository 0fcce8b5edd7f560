#pragma once

#include "config.hpp"
#include "context/context.hpp"
#include "context_updater.hpp"
#include "core/async_operation_handle.hpp"
#include "core/events_loop.hpp"
#include "core/http/client.hpp"
#include "core/logger.hpp"
#include "core/message_stream.hpp"
#include "core/periodic_timer.hpp"
#include "core/redis/context.hpp"
#include "dispatcher.hpp"
#include "external_storage.hpp"
#include "messenger.hpp"

#include <memory>
#include <optional>

namespace nkp {

// Owns every long-lived component. The constructor starts the message stream, the HTTP
// client and the Redis connection; a one-second timer then creates the rest in order once
// Redis is there, and starts the dispatcher.
class application {
public:
    application(libs::core::events_loop& _events_loop, const config& _config,
                libs::core::logger& _logger);
    ~application();

private:
    void initialization_tick(const config& _config);
    void start_application();

    libs::core::logger& m_logger;
    libs::core::events_loop& m_events_loop;
    libs::core::message_stream::ptr m_message_stream;
    libs::core::http::client::ptr m_http_client;
    std::unique_ptr<context::writable_context> m_context;
    std::unique_ptr<context_updater> m_context_updater;
    libs::core::redis::context::ptr m_redis_context;
    std::shared_ptr<libs::core::async_operation_handle<std::optional<libs::core::redis::context::ptr>>>
        m_redis_init;
    std::unique_ptr<external_storage> m_external_storage;
    messenger::ptr m_messenger;
    std::unique_ptr<dispatcher> m_dispatcher;
    libs::core::periodic_timer::ptr m_initialization_timer;
};

} // namespace nkp
