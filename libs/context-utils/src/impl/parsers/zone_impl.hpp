#pragma once

#include "context_utils/parsers/zone.hpp"
#include "parser_utils.hpp"

#include <jsoncpp/json/value.h>

namespace nkp::libs::context_utils::parsers {

// The texts of an array member's elements; throws 'context-utils: <key> is not an array!'.
strings_range array_texts(const Json::Value& _json, const char* _key);
// The texts of an array member's elements, or empty when it is not an array.
std::optional<strings_range> try_array_texts(const Json::Value& _json, const char* _key);
// Seconds and milliseconds of an object: "updated_at" of a REST element, "ts" and "ms" of the
// message it came in.
unsigned int object_ts(const Json::Value& _json, const Json::Value* _notify);
unsigned int object_ms(const Json::Value& _json, const Json::Value* _notify);

class zone_impl final : public zone {
public:
    // _notify: the whole message the zone came in, null for a REST element.
    zone_impl(const Json::Value& _json, const Json::Value* _notify)
        : m_json_value(_json)
        , m_json_notify(_notify) {}

    // zone
    std::string get_uid() const override { return parser_utils::get_string(m_json_value, "uid"); }
    std::string get_project_uid() const override {
        return parser_utils::get_string(m_json_value, "project_uid");
    }
    std::string get_name() const override { return parser_utils::get_string(m_json_value, "name"); }
    std::optional<std::string> get_sublocation_uid() const override {
        return parser_utils::try_get_string(m_json_value, "sublocation_uid");
    }
    bool get_active() const override { return parser_utils::get_bool(m_json_value, "active"); }
    std::string get_shape() const override {
        return parser_utils::get_string(m_json_value, "shape");
    }
    std::string get_zone_type_name() const override {
        return parser_utils::get_string(m_json_value, "zone_type_name");
    }
    unsigned int get_zone_alarm_level() const override {
        return parser_utils::get_uint(m_json_value, "zone_alarm_level");
    }
    bool get_default_allowed() const override {
        return parser_utils::get_bool(m_json_value, "default_allowed");
    }
    int get_priority() const override { return parser_utils::get_int(m_json_value, "priority"); }
    unsigned int get_ts() const override { return object_ts(m_json_value, m_json_notify); }
    unsigned int get_ms() const override { return object_ms(m_json_value, m_json_notify); }
    std::optional<std::string> get_trackable_object_uid() const override {
        return parser_utils::try_get_string(m_json_value, "trackable_object_uid");
    }
    std::optional<int> get_radius() const override {
        return parser_utils::try_get_number(m_json_value["zone_geometry"], "radius");
    }
    bool for_each_point(const point_callback& _callback) const override;
    strings_range get_zone_exceptions() const override {
        return array_texts(m_json_value, "zone_exceptions");
    }
    strings_range get_zone_exceptions_groups() const override {
        return array_texts(m_json_value, "zone_exceptions_groups");
    }
    bool for_each_trackable_in_zone(const trackable_in_zone_callback& _callback) const override;

private:
    const Json::Value& m_json_value;
    const Json::Value* m_json_notify;
};

} // namespace nkp::libs::context_utils::parsers
