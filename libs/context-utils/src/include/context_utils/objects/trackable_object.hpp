#pragma once

#include "core/timestamp.hpp"

#include <boost/optional.hpp>

#include <functional>
#include <string>
#include <vector>

namespace nkp::libs::context_utils::objects {

// A person or asset wearing a tag, with its tag configuration; read lazily like a zone.
class trackable_object {
public:
    class node {
    public:
        virtual ~node() = default;
        virtual bool get_responsive() const = 0;
        virtual const std::string& get_mac_address() const = 0;
    };

    class position {
    public:
        virtual ~position() = default;
        virtual int get_x() const = 0;
        virtual int get_y() const = 0;
        virtual int get_z() const = 0;
        virtual const std::string& get_sl_id() const = 0;
    };

    class tag_config {
    public:
        class t2t_no_alarm_item {
        public:
            virtual ~t2t_no_alarm_item() = default;
            virtual const std::string& get_mac() const = 0;
        };

        class t2t_cfg {
        public:
            virtual ~t2t_cfg() = default;
            virtual boost::optional<const std::string&> get_role() const = 0;
            virtual boost::optional<bool> get_alarm_back() const = 0;
            virtual boost::optional<unsigned int> get_distance() const = 0;
            virtual boost::optional<unsigned int> get_angle() const = 0;
            virtual boost::optional<unsigned int> get_delay() const = 0;
            virtual boost::optional<const std::string&> get_pin() const = 0;
            virtual boost::optional<unsigned int> get_alert_distance() const = 0;
            virtual boost::optional<unsigned int> get_safe_distance() const = 0;
            virtual boost::optional<bool> get_buzzer() const = 0;
            virtual boost::optional<bool> get_haptic() const = 0;
        };

        using t2t_no_alarm_callback = std::function<bool(const t2t_no_alarm_item&)>;

        virtual ~tag_config() = default;
        virtual bool get_stationary() const = 0;
        // In array order; stops at the first false and returns false.
        virtual bool for_each_t2t_no_alarm_item(const t2t_no_alarm_callback& _callback) const = 0;
        virtual boost::optional<const t2t_cfg&> get_t2t_cfg() const = 0;
    };

    virtual ~trackable_object() = default;

    virtual const std::string& get_uid() const = 0;
    virtual const std::string& get_name() const = 0;
    virtual boost::optional<const node&> get_node() const = 0;
    virtual const std::string& get_project_uid() const = 0;
    virtual const std::string& get_company_uid() const = 0;
    virtual boost::optional<const position&> get_position() const = 0;
    virtual core::timestamp get_updated_at() const = 0;
    virtual boost::optional<const std::string&> get_self_zone_uid() const = 0;
    // Sorted.
    virtual boost::optional<const std::vector<std::string>&> get_groups() const = 0;
    virtual int get_default_height() const = 0;
    virtual const std::string& get_type() const = 0;
    virtual const std::string& get_category() const = 0;
    virtual const tag_config& get_tag_config() const = 0;
};

} // namespace nkp::libs::context_utils::objects
