#include "context_updater.hpp"

#include "core/exception.hpp"
#include "core/json.hpp"

namespace nkp {

context_updater::context_updater(context::writable_context& _context,
                                 libs::core::http::client& _http_client,
                                 libs::core::message_stream& _message_stream,
                                 libs::core::events_loop& _events_loop, libs::core::logger& _logger,
                                 const std::set<std::string, std::less<>>& _zone_types,
                                 std::chrono::milliseconds _retry_pause)
    : m_synchronizer(libs::context_utils::context_synchronizer::create(_http_client, _events_loop,
                                                                       _logger, _retry_pause))
    , m_notify_subscription(_message_stream.subscribe(
          "notify",
          [this](std::string_view _message) { m_synchronizer->handle_notify(std::string(_message)); }))
    , m_zone_event_subscription(_message_stream.subscribe(
          "zone_event", [this](std::string_view _message) { handle_zone_event(_message); }))
    , m_context(_context)
    , m_logger(_logger)
    , m_http_client(_http_client)
    , m_events_loop(_events_loop)
    , m_config_zone_types(_zone_types) {
    m_context.set_zones(m_synchronizer->make_zones(ZONES_RELOAD_PERIOD));
}

context_updater::~context_updater() {
    m_zone_event_subscription.reset();
    m_notify_subscription.reset();
}

void context_updater::initialize() {
    m_synchronizer->initialize();
    initialize_zone_events();
}

void context_updater::initialize_zone_events() {
    m_context.get_zones().for_each([&](const libs::context_utils::objects::zone& _zone) {
        m_logger.execute(CORE_SOURCE_LOCATION, [&] {
            const auto& zone_uid = _zone.get_uid();
            const auto zone_id = _zone.get_zone_id().value_or(0);
            const auto& type_name = _zone.get_zone_type_name();
            if (!m_config_zone_types.contains(type_name)) {
                return;
            }
            _zone.for_each_trackable_in_zone(
                [&](const libs::context_utils::objects::zone::trackable_in_zone& _inside) {
                    m_logger.execute(CORE_SOURCE_LOCATION, [&] {
                        const auto ts = _inside.get_time();
                        m_context.take_zone_events().add(
                            context::zone_event(context::zone_event::make_uid(_inside.get_uid(), zone_uid),
                                                ts, _inside.get_uid(), zone_uid, type_name, zone_id),
                            ts);
                    });
                    return true;
                });
        });
        return true;
    });
}

void context_updater::handle_zone_event(std::string_view _message) {
    const auto parse_result = libs::core::json::try_parse(_message);
    CORE_CHECK(parse_result.ok);
    const auto& message = parse_result.result;
    const auto& ts = message["ts"];
    const auto& ms = message["ms"];
    const auto& obj_uid = message["obj_uid"];
    const auto& zone_uid = message["zone_uid"];
    const auto& zone_type_name = message["zone_type_name"];
    if (!ts.isInt() || !ms.isInt() || !obj_uid.isString() || !zone_uid.isString() ||
        !zone_type_name.isString()) {
        return;
    }
    const auto type = zone_type_name.asString();
    if (!m_config_zone_types.contains(type)) {
        return;
    }
    const auto& action = message["action"];
    if (!action.isString()) {
        return;
    }
    const auto object = obj_uid.asString();
    const auto zone = zone_uid.asString();
    const auto uid = context::zone_event::make_uid(object, zone);
    const libs::core::timestamp time(ts.asInt(), static_cast<unsigned int>(ms.asInt()));
    auto& events = m_context.take_zone_events();
    if (action.asString() == "leave") {
        events.remove(uid, time);
        return;
    }
    const auto found = m_context.get_zones().try_get(zone);
    if (!found) {
        m_logger.debug("Zone not found %1%").short_function(CORE_SOURCE_LOCATION).location(CORE_SOURCE_LOCATION) %
            zone;
        return;
    }
    const auto zone_id = found->get_zone_id().value_or(0);
    auto writable = events.try_get(uid, time);
    if (!writable) {
        events.add(context::zone_event(uid, time, object, zone, type, zone_id), time);
        return;
    }
    writable->set_ts(time);
    writable->set_obj_uid(object);
    writable->set_zone_uid(zone);
    writable->set_zone_type(type);
    writable->set_zone_id(zone_id);
}

} // namespace nkp
