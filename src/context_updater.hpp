#pragma once

#include "context/context.hpp"
#include "context_utils/context_synchronizer.hpp"
#include "core/events_loop.hpp"
#include "core/http/client.hpp"
#include "core/logger.hpp"
#include "core/message_stream.hpp"

#include <chrono>
#include <set>
#include <string>
#include <string_view>

namespace nkp {

// Keeps the context in step with the location system: the zones from the REST server and
// "notify" messages, the zone events from "zone_event" messages and, at start, from the
// objects the zones report inside them. Only zones of the configured types count.
class context_updater {
public:
    static constexpr std::chrono::hours ZONES_RELOAD_PERIOD{3};

    // Returns once the zones are loaded (blocking, retrying while the server fails).
    context_updater(context::writable_context& _context, libs::core::http::client& _http_client,
                    libs::core::message_stream& _message_stream, libs::core::events_loop& _events_loop,
                    libs::core::logger& _logger, const std::set<std::string, std::less<>>& _zone_types,
                    std::chrono::milliseconds _retry_pause =
                        libs::context_utils::context_synchronizer::RETRY_PAUSE);
    ~context_updater();

    void initialize();
    // A zone event for every object each zone of a configured type reports inside it.
    void initialize_zone_events();

private:
    void handle_zone_event(std::string_view _message);

    libs::context_utils::context_synchronizer::ptr m_synchronizer;
    libs::core::message_stream::subscription::ptr m_notify_subscription;
    libs::core::message_stream::subscription::ptr m_zone_event_subscription;
    context::writable_context& m_context;
    libs::core::logger& m_logger;
    libs::core::http::client& m_http_client;
    libs::core::events_loop& m_events_loop;
    const std::set<std::string, std::less<>>& m_config_zone_types;
};

} // namespace nkp
