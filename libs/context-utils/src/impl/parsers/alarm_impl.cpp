#include "alarm_impl.hpp"

#include "iso8601_time.hpp"

#include <stdexcept>

namespace nkp::libs::context_utils::parsers {

namespace {

// The member's text; throws 'context-utils: <name> is not a string!'.
std::string text_of(const Json::Value& _json, const char* _key, const std::string& _name) {
    const auto& member = _json[_key];
    if (!member.isString()) {
        throw std::logic_error("context-utils: " + _name + " is not a string!");
    }
    return member.asString();
}

std::optional<std::string> optional_text(const Json::Value& _json, const char* _key) {
    const auto& member = _json[_key];
    return member.isString() ? std::optional<std::string>(member.asString()) : std::nullopt;
}

std::optional<int> optional_int(const Json::Value& _json, const char* _key) {
    const auto& member = _json[_key];
    return member.isInt() ? std::optional<int>(member.asInt()) : std::nullopt;
}

unsigned int message_int(const Json::Value& _message, const char* _key) {
    const auto& member = _message[_key];
    if (!member.isInt()) {
        throw std::logic_error(std::string("context-utils: ") + _key + " is not an int!");
    }
    return static_cast<unsigned int>(member.asInt());
}

iso8601_time::time rest_time(const Json::Value& _json) {
    const auto text = text_of(_json, "ts", "ts");
    const auto time = iso8601_time::parse_time(text);
    if (!time) {
        throw std::logic_error("context-utils: failed to parse timestamp: \"ts\"");
    }
    return *time;
}

} // namespace

std::string alarm_impl::get_uid() const {
    return text_of(m_json_value, "uid", "uid");
}

std::string alarm_impl::get_mac_address() const {
    return text_of(m_json_value, "mac_address", "mac_address");
}

std::string alarm_impl::get_alarm_name() const {
    return text_of(m_json_value, "alarm_name", "alarm_name");
}

std::string alarm_impl::get_text() const {
    return text_of(m_json_value["additional_info"], "text", "additional_info.text");
}

std::optional<unsigned int> alarm_impl::get_zone_alarm_level() const {
    const auto level = optional_int(m_json_value["additional_info"], "zone_alarm_level");
    return level ? std::optional<unsigned int>(static_cast<unsigned int>(*level)) : std::nullopt;
}

std::optional<std::string> alarm_impl::get_zone_violation_type() const {
    return optional_text(m_json_value["additional_info"], "zone_violation_type");
}

std::optional<std::string> alarm_impl::get_zone_uid() const {
    return optional_text(m_json_value["additional_info"], "zone_uid");
}

unsigned int alarm_impl::get_ts() const {
    return m_json_notify != nullptr ? message_int(*m_json_notify, "ts")
                                    : rest_time(m_json_value).ts;
}

unsigned int alarm_impl::get_ms() const {
    return m_json_notify != nullptr ? message_int(*m_json_notify, "ms")
                                    : rest_time(m_json_value).ms;
}

std::optional<std::string> alarm_impl::get_sublocation_uid() const {
    return optional_text(m_json_value, "sublocation_uid");
}

std::optional<int> alarm_impl::get_x() const {
    return optional_int(m_json_value, "x");
}

std::optional<int> alarm_impl::get_y() const {
    return optional_int(m_json_value, "y");
}

std::optional<int> alarm_impl::get_z() const {
    return optional_int(m_json_value, "z");
}

std::string alarm_impl::get_obj_uid() const {
    return text_of(m_json_value, "obj_uid", "obj_uid");
}

} // namespace nkp::libs::context_utils::parsers
