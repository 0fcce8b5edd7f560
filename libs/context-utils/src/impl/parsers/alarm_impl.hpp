#pragma once

#include "context_utils/parsers/alarm.hpp"

#include <jsoncpp/json/value.h>

namespace nkp::libs::context_utils::parsers {

class alarm_impl final : public alarm {
public:
    // _notify: the whole message the alarm came in, null for a REST element.
    alarm_impl(const Json::Value& _json, const Json::Value* _notify)
        : m_json_value(_json)
        , m_json_notify(_notify) {}

    // alarm
    std::string get_uid() const override;
    std::string get_mac_address() const override;
    std::string get_alarm_name() const override;
    std::string get_text() const override;
    std::optional<unsigned int> get_zone_alarm_level() const override;
    std::optional<std::string> get_zone_violation_type() const override;
    std::optional<std::string> get_zone_uid() const override;
    unsigned int get_ts() const override;
    unsigned int get_ms() const override;
    std::optional<std::string> get_sublocation_uid() const override;
    std::optional<int> get_x() const override;
    std::optional<int> get_y() const override;
    std::optional<int> get_z() const override;
    std::string get_obj_uid() const override;

private:
    const Json::Value& m_json_value;
    const Json::Value* m_json_notify;
};

} // namespace nkp::libs::context_utils::parsers
