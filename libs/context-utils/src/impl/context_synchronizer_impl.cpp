#include "context_synchronizer_impl.hpp"

#include "objects/node_impl.hpp"
#include "objects/sublocation_impl.hpp"
#include "objects/trackable_object_impl.hpp"
#include "objects/win_anchor_impl.hpp"
#include "objects/zone_impl.hpp"
#include "objects_repository_manager_impl.hpp"
#include "parsers/alarm_impl.hpp"
#include "parsers/message_views.hpp"
#include "parsers/trackable_object_impl.hpp"
#include "parsers/zone_impl.hpp"

namespace nkp::libs::context_utils {

namespace {

const Json::Value& plist_of(const json_notify& _message) {
    return _message.get_json()["plist"];
}

// A view of a message's "plist" together with the message.
template <class View, class Callback>
context_updater::callback from_message(Callback _callback) {
    return [callback = std::move(_callback)](const json_notify& _message) {
        View view(plist_of(_message), &_message.get_json());
        callback(view);
    };
}

// A view of a REST element, without a message.
template <class View, class Callback>
context_initializer::callback from_rest(Callback _callback) {
    return [callback = std::move(_callback)](const json_object& _object) {
        View view(_object.get_json(), nullptr);
        callback(view);
    };
}

template <class View, class Callback>
context_updater::callback deleting_from_message(Callback _callback) {
    return [callback = std::move(_callback)](const json_notify& _message) {
        const View view(plist_of(_message), &_message.get_json());
        callback(view.get_uid(), core::timestamp(view.get_ts(), view.get_ms()));
    };
}

template <class View, class Callback>
context_initializer::bool_callback walking(Callback _callback) {
    return [&_callback](const json_object& _object) {
        View view(_object.get_json(), nullptr);
        return _callback(view);
    };
}

} // namespace

context_synchronizer::ptr context_synchronizer::create(core::http::client& _http_client,
                                                       core::events_loop& _events_loop,
                                                       const core::component_logger& _logger,
                                                       std::chrono::milliseconds _retry_pause) {
    return std::make_unique<context_synchronizer_impl>(_http_client, _events_loop, _logger,
                                                       _retry_pause);
}

context_synchronizer_impl::context_synchronizer_impl(core::http::client& _http_client,
                                                     core::events_loop& _events_loop,
                                                     const core::component_logger& _logger,
                                                     std::chrono::milliseconds _retry_pause)
    : m_http_client(_http_client)
    , m_events_loop(_events_loop)
    , m_logger(_logger.component("context_utils"))
    , m_context_initializer(m_http_client, m_events_loop, *m_logger, _retry_pause) {}

template <class T, class Impl>
std::unique_ptr<objects_repository_manager<T>>
context_synchronizer_impl::make(const object_info& _info, std::chrono::nanoseconds _period) {
    auto manager = std::make_unique<objects_repository_manager_impl<T, Impl>>(
        _info, m_context_initializer, m_context_updater, m_events_loop.get_timers());
    manager->set_update_period(_period);
    return manager;
}

context_synchronizer::zones_ptr
context_synchronizer_impl::make_zones(std::chrono::nanoseconds _forced_update_period) {
    return make<objects::zone, objects::zone_impl>(object_infos::zone, _forced_update_period);
}

context_synchronizer::trackable_objects_ptr
context_synchronizer_impl::make_trackable_objects(std::chrono::nanoseconds _forced_update_period) {
    return make<objects::trackable_object, objects::trackable_object_impl>(
        object_infos::trackable_object, _forced_update_period);
}

context_synchronizer::win_anchors_ptr
context_synchronizer_impl::make_win_anchors(std::chrono::nanoseconds _forced_update_period) {
    return make<objects::win_anchor, objects::win_anchor_impl>(object_infos::win_anchor,
                                                               _forced_update_period);
}

context_synchronizer::sublocations_ptr
context_synchronizer_impl::make_sublocations(std::chrono::nanoseconds _forced_update_period) {
    return make<objects::sublocation, objects::sublocation_impl>(object_infos::sublocation,
                                                                 _forced_update_period);
}

context_synchronizer::nodes_ptr
context_synchronizer_impl::make_nodes(std::chrono::nanoseconds _forced_update_period) {
    return make<objects::node, objects::node_impl>(object_infos::node, _forced_update_period);
}

void context_synchronizer_impl::on_zone_creating(zone_callback _callback) {
    m_context_updater.on_zone_creating(from_message<parsers::zone_impl>(_callback));
    m_context_initializer.on_zone_creating(from_rest<parsers::zone_impl>(std::move(_callback)));
}

void context_synchronizer_impl::on_zone_updating(zone_callback _callback) {
    m_context_updater.on_zone_updating(from_message<parsers::zone_impl>(std::move(_callback)));
}

void context_synchronizer_impl::on_zone_deleting(zone_deleting_callback _callback) {
    m_context_updater.on_zone_deleting(
        deleting_from_message<parsers::zone_impl>(std::move(_callback)));
}

bool context_synchronizer_impl::for_each_zone_on_server(const bool_zone_callback& _callback) {
    return m_context_initializer.for_each_object_on_server(object_infos::zone,
                                                           walking<parsers::zone_impl>(_callback));
}

void context_synchronizer_impl::on_trackable_object_creating(trackable_object_callback _callback) {
    m_context_updater.on_trackable_object_creating(
        from_message<parsers::trackable_object_impl>(_callback));
    m_context_initializer.on_trackable_object_creating(
        from_rest<parsers::trackable_object_impl>(std::move(_callback)));
}

void context_synchronizer_impl::on_trackable_object_updating(trackable_object_callback _callback) {
    m_context_updater.on_trackable_object_updating(
        from_message<parsers::trackable_object_impl>(std::move(_callback)));
}

void context_synchronizer_impl::on_trackable_object_deleting(
    trackable_object_deleting_callback _callback) {
    m_context_updater.on_trackable_object_deleting(
        deleting_from_message<parsers::trackable_object_impl>(std::move(_callback)));
}

bool context_synchronizer_impl::for_each_trackable_object_on_server(
    const bool_trackable_object_callback& _callback) {
    return m_context_initializer.for_each_object_on_server(
        object_infos::trackable_object, walking<parsers::trackable_object_impl>(_callback));
}

bool context_synchronizer_impl::for_each_alarm_on_server(const bool_alarm_callback& _callback) {
    return m_context_initializer.for_each_object_on_server(object_infos::alarm,
                                                           walking<parsers::alarm_impl>(_callback));
}

void context_synchronizer_impl::on_pos(pos_callback _callback) {
    m_context_updater.on_pos([callback = std::move(_callback)](const json_notify& _message) {
        parsers::pos_impl view(_message.get_json());
        callback(view);
    });
}

namespace {

template <class View, class Callback>
context_updater::callback whole_message(Callback _callback) {
    return [callback = std::move(_callback)](const json_notify& _message) {
        View view(plist_of(_message), _message.get_json());
        callback(view);
    };
}

} // namespace

void context_synchronizer_impl::on_trackable_object_association_creating(
    trackable_object_association_callback _callback) {
    m_context_updater.on_trackable_object_association_creating(
        whole_message<parsers::trackable_object_association_impl>(std::move(_callback)));
}

void context_synchronizer_impl::on_trackable_object_association_updating(
    trackable_object_association_callback _callback) {
    m_context_updater.on_trackable_object_association_updating(
        whole_message<parsers::trackable_object_association_impl>(std::move(_callback)));
}

void context_synchronizer_impl::on_trackable_object_groups_updating(
    trackable_object_groups_callback _callback) {
    m_context_updater.on_trackable_object_groups_updating(
        whole_message<parsers::trackable_object_groups_impl>(std::move(_callback)));
}

} // namespace nkp::libs::context_utils
