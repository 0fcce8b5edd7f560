#pragma once

#include "context_utils/objects/trackable_object.hpp"
#include "for_each_element.hpp"
#include "json_source.hpp"

namespace nkp::libs::context_utils::objects {

class trackable_object_impl final : public trackable_object, private json_source {
public:
    class node_impl final : public node, private json_part {
    public:
        explicit node_impl(const Json::Value& _json)
            : json_part(_json) {}
        bool get_responsive() const override {
            return m_responsive.get(m_json_value, "responsive");
        }
        const std::string& get_mac_address() const override {
            return m_mac_address.get(m_json_value, "mac_address");
        }

    private:
        lazy_value<bool_value> m_responsive;
        lazy_value<string_value> m_mac_address;
    };

    class position_impl final : public position, private json_part {
    public:
        explicit position_impl(const Json::Value& _json)
            : json_part(_json) {}
        int get_x() const override { return m_x.get(m_json_value, "x"); }
        int get_y() const override { return m_y.get(m_json_value, "y"); }
        int get_z() const override { return m_z.get(m_json_value, "z"); }
        const std::string& get_sl_id() const override { return m_sl_id.get(m_json_value, "sl_id"); }

    private:
        lazy_value<numeric_value> m_x;
        lazy_value<numeric_value> m_y;
        lazy_value<numeric_value> m_z;
        lazy_value<string_value> m_sl_id;
    };

    class tag_config_impl final : public tag_config, private json_part {
    public:
        class t2t_no_alarm_item_impl final : public t2t_no_alarm_item, private json_part {
        public:
            explicit t2t_no_alarm_item_impl(const Json::Value& _json)
                : json_part(_json) {}
            const std::string& get_mac() const override {
                return m_mac.get(m_json_value, "mac", "t2t_no_alarm.mac");
            }

        private:
            lazy_value<string_value> m_mac;
        };

        class t2t_cfg_impl final : public t2t_cfg, private json_part {
        public:
            explicit t2t_cfg_impl(const Json::Value& _json)
                : json_part(_json) {}
            boost::optional<const std::string&> get_role() const override {
                return m_role.get(m_json_value, "role");
            }
            boost::optional<bool> get_alarm_back() const override {
                return m_alarm_back.get(m_json_value, "alarm_back");
            }
            boost::optional<unsigned int> get_distance() const override {
                return m_distance.get(m_json_value, "distance");
            }
            boost::optional<unsigned int> get_angle() const override {
                return m_angle.get(m_json_value, "angle");
            }
            boost::optional<unsigned int> get_delay() const override {
                return m_delay.get(m_json_value, "delay");
            }
            boost::optional<const std::string&> get_pin() const override {
                return m_pin.get(m_json_value, "pin");
            }
            boost::optional<unsigned int> get_alert_distance() const override {
                return m_alert_distance.get(m_json_value, "alert_distance");
            }
            boost::optional<unsigned int> get_safe_distance() const override {
                return m_safe_distance.get(m_json_value, "safe_distance");
            }
            boost::optional<bool> get_buzzer() const override {
                return m_buzzer.get(m_json_value, "buzzer");
            }
            boost::optional<bool> get_haptic() const override {
                return m_haptic.get(m_json_value, "haptic");
            }

        private:
            lazy_value<optional_value<string_value>> m_role;
            lazy_value<optional_value<bool_value>> m_alarm_back;
            lazy_value<optional_value<unumeric_value>> m_distance;
            lazy_value<optional_value<unumeric_value>> m_angle;
            lazy_value<optional_value<uint_value>> m_delay;
            lazy_value<optional_value<string_value>> m_pin;
            lazy_value<optional_value<unumeric_value>> m_alert_distance;
            lazy_value<optional_value<unumeric_value>> m_safe_distance;
            lazy_value<optional_value<bool_value>> m_buzzer;
            lazy_value<optional_value<bool_value>> m_haptic;
        };

        explicit tag_config_impl(const Json::Value& _json)
            : json_part(_json) {}
        bool get_stationary() const override {
            return m_stationary.get(m_json_value, "stationary");
        }
        bool for_each_t2t_no_alarm_item(const t2t_no_alarm_callback& _callback) const override {
            return for_each_element(m_t2t_no_alarm.get(m_json_value, "t2t_no_alarm"), _callback);
        }
        boost::optional<const t2t_cfg&> get_t2t_cfg() const override {
            return m_t2t_cfg.get(m_json_value, "t2t_cfg");
        }

    private:
        lazy_value<bool_value> m_stationary;
        lazy_value<optional_value<array_value<
            object_value<t2t_no_alarm_item, t2t_no_alarm_item_impl>, do_not_sort_values>>>
            m_t2t_no_alarm;
        lazy_value<optional_value<object_value<t2t_cfg, t2t_cfg_impl>>> m_t2t_cfg;
    };

    explicit trackable_object_impl(const json_object& _json)
        : json_source(_json) {}
    explicit trackable_object_impl(const json_notify& _json)
        : json_source(_json) {}

    // trackable_object
    const std::string& get_uid() const override { return m_uid.get(m_json_value, "uid"); }
    const std::string& get_name() const override { return m_name.get(m_json_value, "name"); }
    boost::optional<const node&> get_node() const override {
        return m_node.get(m_json_value, "node");
    }
    const std::string& get_project_uid() const override {
        return m_project_uid.get(m_json_value, "project_uid");
    }
    const std::string& get_company_uid() const override {
        return m_company_uid.get(m_json_value, "company_uid");
    }
    boost::optional<const position&> get_position() const override {
        return m_position.get(m_json_value, "position");
    }
    core::timestamp get_updated_at() const override { return updated_at(); }
    boost::optional<const std::string&> get_self_zone_uid() const override {
        return m_self_zone_uid.get(m_json_value, "self_zone_uid");
    }
    boost::optional<const std::vector<std::string>&> get_groups() const override {
        return m_groups.get(m_json_value, "groups");
    }
    int get_default_height() const override {
        return m_default_height.get(m_json_value, "default_height");
    }
    const std::string& get_type() const override { return m_type.get(m_json_value, "type"); }
    const std::string& get_category() const override {
        return m_category.get(m_json_value, "category");
    }
    const tag_config& get_tag_config() const override {
        return m_tag_config.get(m_json_value, "tag_config");
    }

private:
    lazy_value<string_value> m_uid;
    lazy_value<string_value> m_name;
    lazy_value<optional_value<object_value<node, node_impl>>> m_node;
    lazy_value<string_value> m_project_uid;
    lazy_value<string_value> m_company_uid;
    lazy_value<optional_value<object_value<position, position_impl>>> m_position;
    lazy_value<optional_value<string_value>> m_self_zone_uid;
    lazy_value<optional_value<array_value<string_value, sort_values>>> m_groups;
    lazy_value<numeric_value> m_default_height;
    lazy_value<string_value> m_type;
    lazy_value<string_value> m_category;
    lazy_value<object_value<tag_config, tag_config_impl>> m_tag_config;
};

} // namespace nkp::libs::context_utils::objects
