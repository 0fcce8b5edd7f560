#pragma once

#include "context_utils/parsers/trackable_object.hpp"
#include "parser_utils.hpp"
#include "zone_impl.hpp"

#include <jsoncpp/json/value.h>

namespace nkp::libs::context_utils::parsers {

class trackable_object_impl final : public trackable_object {
public:
    // _notify: the whole message the object came in, null for a REST element.
    trackable_object_impl(const Json::Value& _json, const Json::Value* _notify)
        : m_json_value(_json)
        , m_json_notify(_notify) {}

    // trackable_object
    std::string get_uid() const override { return parser_utils::get_string(m_json_value, "uid"); }
    std::string get_name() const override { return parser_utils::get_string(m_json_value, "name"); }
    std::optional<bool> get_responsive() const override {
        return parser_utils::try_get_bool(m_json_value["node"], "responsive");
    }
    std::optional<std::string> get_mac_address() const override {
        return parser_utils::try_get_string(m_json_value["node"], "mac_address");
    }
    std::string get_project_uid() const override {
        return parser_utils::get_string(m_json_value, "project_uid");
    }
    std::optional<std::string> get_sublocation_uid() const override {
        return parser_utils::try_get_string(m_json_value["position"], "sl_id");
    }
    std::optional<int> get_x() const override {
        return parser_utils::try_get_number(m_json_value["position"], "x");
    }
    std::optional<int> get_y() const override {
        return parser_utils::try_get_number(m_json_value["position"], "y");
    }
    std::optional<int> get_z() const override {
        return parser_utils::try_get_number(m_json_value["position"], "z");
    }
    unsigned int get_ts() const override { return object_ts(m_json_value, m_json_notify); }
    unsigned int get_ms() const override { return object_ms(m_json_value, m_json_notify); }
    std::optional<std::string> get_self_zone_uid() const override {
        return parser_utils::try_get_string(m_json_value, "self_zone_uid");
    }
    std::optional<strings_range> get_groups() const override {
        return try_array_texts(m_json_value, "groups");
    }
    int get_default_height() const override {
        return parser_utils::get_number(m_json_value, "default_height");
    }
    std::string get_type() const override { return parser_utils::get_string(m_json_value, "type"); }
    std::string get_category() const override {
        return parser_utils::get_string(m_json_value, "category");
    }
    std::unique_ptr<tag_config> get_tag_config() const override;

private:
    const Json::Value& m_json_value;
    const Json::Value* m_json_notify;
};

} // namespace nkp::libs::context_utils::parsers
