#include "context_updater.hpp"

#include "core/exception.hpp"
#include "core/json.hpp"

#include <boost/algorithm/string/case_conv.hpp>

#include <optional>

namespace nkp::libs::context_utils {

namespace {

Json::Value parse_message(const std::string& _text) {
    auto parsed = core::json::try_parse(_text);
    if (!parsed.ok) {
        throw core::exception("parse_error: " + parsed.error, CORE_SOURCE_LOCATION);
    }
    return std::move(parsed.result);
}

} // namespace

context_updater::callback* context_updater::slot_of(object_type _type, action _action) {
    const auto pick = [_action](callback& _creating, callback& _updating, callback& _deleting) {
        switch (_action) {
        case action::creating:
            return &_creating;
        case action::updating:
            return &_updating;
        case action::deleting:
            return &_deleting;
        }
        return static_cast<callback*>(nullptr);
    };
    switch (_type) {
    case object_type::zone:
        return pick(m_zone_creating_callback, m_zone_updating_callback, m_zone_deleting_callback);
    case object_type::trackable_object:
        return pick(m_trackable_object_creating_callback, m_trackable_object_updating_callback,
                    m_trackable_object_deleting_callback);
    case object_type::sublocation:
        return pick(m_sublocation_creating_callback, m_sublocation_updating_callback,
                    m_sublocation_deleting_callback);
    case object_type::win_anchor:
        return pick(m_win_anchor_creating_callback, m_win_anchor_updating_callback,
                    m_win_anchor_deleting_callback);
    case object_type::node:
        return pick(m_node_creating_callback, m_node_updating_callback, m_node_deleting_callback);
    case object_type::alarm:
    case object_type::_count:
        break;
    }
    return nullptr;
}

void context_updater::register_for(const object_info& _info, action _action, callback _callback) {
    if (auto* slot = slot_of(_info.m_type, _action)) {
        *slot = std::move(_callback);
    }
}

void context_updater::on_creating(const object_info& _info, callback _callback) {
    register_for(_info, action::creating, std::move(_callback));
}

void context_updater::on_updating(const object_info& _info, callback _callback) {
    register_for(_info, action::updating, std::move(_callback));
}

void context_updater::on_deleting(const object_info& _info, callback _callback) {
    register_for(_info, action::deleting, std::move(_callback));
}

void context_updater::handle_notify(const std::string& _text) {
    const auto message = parse_message(_text);
    const auto& object_member = message["object"];
    if (!object_member.isString()) {
        throw core::exception("\"object\" is not a string!", CORE_SOURCE_LOCATION);
    }
    const auto object = boost::algorithm::to_upper_copy(object_member.asString());
    const auto& action_member = message["action"];
    if (!action_member.isString()) {
        throw core::exception("\"action\" is not a string!", CORE_SOURCE_LOCATION);
    }
    const auto action_text = boost::algorithm::to_lower_copy(action_member.asString());

    std::optional<action> kind_action;
    if (action_text == "created") {
        kind_action = action::creating;
    } else if (action_text == "updated") {
        kind_action = action::updating;
    } else if (action_text == "deleted") {
        kind_action = action::deleting;
    }
    if (!kind_action) {
        return;
    }

    callback* target = nullptr;
    for (const auto* info : {&object_infos::zone, &object_infos::trackable_object,
                             &object_infos::sublocation, &object_infos::win_anchor,
                             &object_infos::node}) {
        if (object == info->m_notify_json_name) {
            target = slot_of(info->m_type, *kind_action);
            break;
        }
    }
    if (object == "TRACKABLE_OBJECT_GROUPS" && kind_action == action::updating) {
        target = &m_trackable_object_groups_updating_callback;
    } else if (object == "TRACKABLE_OBJECT_ASSOCIATION") {
        if (kind_action == action::creating) {
            target = &m_trackable_object_association_creating_callback;
        } else if (kind_action == action::updating) {
            target = &m_trackable_object_association_updating_callback;
        }
    }
    if (target != nullptr && *target) {
        (*target)(json_notify(message));
    }
}

void context_updater::handle_pos(const std::string& _text) {
    auto message = parse_message(_text);
    if (m_pos_callback) {
        m_pos_callback(json_notify(std::move(message)));
    }
}

} // namespace nkp::libs::context_utils
