#include "trackable_object_impl.hpp"

namespace nkp::libs::context_utils::parsers {

namespace {

class t2t_cfg_impl final : public trackable_object::tag_config::t2t_cfg {
public:
    explicit t2t_cfg_impl(const Json::Value& _json)
        : m_json_value(_json) {}
    std::optional<std::string> get_role() const override {
        return parser_utils::try_get_string(m_json_value, "role");
    }
    std::optional<bool> get_alarm_back() const override {
        return parser_utils::try_get_bool(m_json_value, "alarm_back");
    }
    std::optional<unsigned int> get_distance() const override {
        return unsigned_number("distance");
    }
    std::optional<unsigned int> get_angle() const override { return unsigned_number("angle"); }
    std::optional<unsigned int> get_delay() const override {
        return parser_utils::try_get_uint(m_json_value, "delay");
    }
    std::optional<std::string> get_pin() const override {
        return parser_utils::try_get_string(m_json_value, "pin");
    }
    std::optional<unsigned int> get_alert_distance() const override {
        return unsigned_number("alert_distance");
    }
    std::optional<unsigned int> get_safe_distance() const override {
        return unsigned_number("safe_distance");
    }
    std::optional<bool> get_buzzer() const override {
        return parser_utils::try_get_bool(m_json_value, "buzzer");
    }
    std::optional<bool> get_haptic() const override {
        return parser_utils::try_get_bool(m_json_value, "haptic");
    }

private:
    std::optional<unsigned int> unsigned_number(const char* _key) const {
        const auto number = parser_utils::try_get_number(m_json_value, _key);
        if (!number) {
            return std::nullopt;
        }
        return static_cast<unsigned int>(*number);
    }

    const Json::Value& m_json_value;
};

class tag_config_impl final : public trackable_object::tag_config {
public:
    explicit tag_config_impl(const Json::Value& _json)
        : m_json_value(_json) {
        if (_json["t2t_cfg"].isObject()) {
            m_t2t_cfg.emplace(_json["t2t_cfg"]);
        }
    }
    bool get_stationary() const override {
        return parser_utils::get_bool(m_json_value, "stationary");
    }
    std::optional<strings_range> get_t2t_no_alarm() const override {
        return try_array_texts(m_json_value, "t2t_no_alarm");
    }
    const t2t_cfg* get_t2t_cfg() const override { return m_t2t_cfg ? &*m_t2t_cfg : nullptr; }

private:
    const Json::Value& m_json_value;
    std::optional<t2t_cfg_impl> m_t2t_cfg;
};

} // namespace

std::unique_ptr<trackable_object::tag_config> trackable_object_impl::get_tag_config() const {
    return std::make_unique<tag_config_impl>(m_json_value["tag_config"]);
}

} // namespace nkp::libs::context_utils::parsers
