#include "message_views.hpp"

#include "core/exception.hpp"
#include "core/json.hpp"
#include "iso8601_time.hpp"

#include <stdexcept>

namespace nkp::libs::context_utils::parsers {

namespace {

std::logic_error failure(const std::string& _text) {
    return std::logic_error("context-utils: " + _text);
}

std::string text_of(const Json::Value& _json, const char* _key) {
    const auto& member = _json[_key];
    if (!member.isString()) {
        throw failure(std::string(_key) + " is not a string!");
    }
    return member.asString();
}

int int_of(const Json::Value& _json, const char* _key) {
    const auto& member = _json[_key];
    if (!member.isInt()) {
        throw failure(std::string(_key) + " is not an int!");
    }
    return member.asInt();
}

core::timestamp message_time(const Json::Value& _message) {
    const auto seconds = int_of(_message, "ts");
    const auto milliseconds = int_of(_message, "ms");
    return core::timestamp(seconds, static_cast<unsigned int>(milliseconds));
}

core::timestamp parse_time(const std::string& _text, const char* _key) {
    const auto time = iso8601_time::parse_time(_text);
    if (!time) {
        throw failure(std::string("failed to parse timestamp: \"") + _key + "\"");
    }
    return core::timestamp(time->ts, time->ms);
}

class group_impl final : public trackable_object_groups::group {
public:
    group_impl(const std::string& _uid, const Json::Value& _json)
        : m_uid(_uid)
        , m_json_value(_json) {}
    const std::string& get_uid() const override { return m_uid; }
    std::string get_trackable_object_uid() const override {
        const auto& member = m_json_value["trackableObject"];
        if (!member.isString()) {
            throw std::logic_error("context-utils::group_impl: trackableObject is not a string!");
        }
        return member.asString();
    }

private:
    const std::string& m_uid;
    const Json::Value& m_json_value;
};

// A member of the position message, or of its "data"; throws the library exception.
const Json::Value& pos_member(const Json::Value& _json, const char* _key, const char* _name,
                              bool (Json::Value::*_accepts)() const, const char* _type_words) {
    const auto& member = _json[_key];
    if (!(member.*_accepts)()) {
        throw core::exception(std::string("context-utils: pos: ") + _name + " is not " +
                                  _type_words + "!",
                              CORE_SOURCE_LOCATION);
    }
    return member;
}

} // namespace

core::timestamp trackable_object_groups_impl::get_ts() const {
    return message_time(m_json_notify);
}

std::string trackable_object_groups_impl::get_project_uid() const {
    return text_of(m_json_notify, "project_uid");
}

bool trackable_object_groups_impl::for_each_group(const char* _action,
                                                  const group_callback& _callback) const {
    if (!m_json_value.isObject()) {
        return true;
    }
    for (const auto& uid : m_json_value.getMemberNames()) {
        const auto& group = m_json_value[uid];
        if (group["action"].isString() && group["action"].asString() == _action &&
            !_callback(group_impl(uid, group))) {
            return false;
        }
    }
    return true;
}

bool trackable_object_groups_impl::for_each_added_group(const group_callback& _callback) const {
    return for_each_group("ADD_GROUP", _callback);
}

bool trackable_object_groups_impl::for_each_removed_group(const group_callback& _callback) const {
    return for_each_group("REMOVE_GROUP", _callback);
}

core::timestamp trackable_object_association_impl::get_ts() const {
    return message_time(m_json_notify);
}

std::string trackable_object_association_impl::get_project_uid() const {
    return text_of(m_json_value, "project_uid");
}

std::string trackable_object_association_impl::get_mac_address() const {
    return text_of(m_json_value, "mac_address");
}

std::string trackable_object_association_impl::get_trackable_object_uid() const {
    return text_of(m_json_value, "trob_uid");
}

core::timestamp trackable_object_association_impl::get_created_at() const {
    return parse_time(text_of(m_json_value, "created_at"), "created_at");
}

std::optional<core::timestamp> trackable_object_association_impl::get_removed_at() const {
    const auto text = text_of(m_json_value, "removed_at");
    // The server's way of saying "not removed".
    if (text == "9999-12-31T23:59:59.000Z") {
        return std::nullopt;
    }
    return parse_time(text, "removed_at");
}

std::string_view pos_impl::get_trackable_uid() const {
    return core::json::as_string_view(
        pos_member(m_json_value, "tk_uid", "tk_uid", &Json::Value::isString, "a string"));
}

core::timestamp pos_impl::get_ts() const {
    return core::timestamp(core::json::as_string_view(
        pos_member(m_json_value, "ts", "ts", &Json::Value::isString, "a string")));
}

int pos_impl::get_x() const {
    return pos_member(m_json_value["data"], "x", "data.x", &Json::Value::isNumeric, "a number")
        .asInt();
}

int pos_impl::get_y() const {
    return pos_member(m_json_value["data"], "y", "data.y", &Json::Value::isNumeric, "a number")
        .asInt();
}

int pos_impl::get_z() const {
    return pos_member(m_json_value["data"], "z", "data.z", &Json::Value::isNumeric, "a number")
        .asInt();
}

std::string_view pos_impl::get_type() const {
    return core::json::as_string_view(
        pos_member(m_json_value["data"], "type", "data.type", &Json::Value::isString, "a string"));
}

std::string_view pos_impl::get_sublocation_uid() const {
    return core::json::as_string_view(pos_member(m_json_value["data"], "sl_uid", "data.sl_uid",
                                                 &Json::Value::isString, "a string"));
}

unsigned int pos_impl::get_fom() const {
    return pos_member(m_json_value["data"], "fom", "data.fom", &Json::Value::isUInt, "an uint")
        .asUInt();
}

std::string_view pos_impl::get_mac() const {
    return core::json::as_string_view(
        pos_member(m_json_value["data"], "mac", "data.mac", &Json::Value::isString, "a string"));
}

} // namespace nkp::libs::context_utils::parsers
