#pragma once

#include "context_utils/parsers/strings_range.hpp"

#include <memory>
#include <optional>
#include <string>

namespace nkp::libs::context_utils::parsers {

// A view of a trackable object's JSON for the duration of a callback; reads anew each call.
class trackable_object {
public:
    class tag_config {
    public:
        class t2t_cfg {
        public:
            virtual ~t2t_cfg() = default;
            virtual std::optional<std::string> get_role() const = 0;
            virtual std::optional<bool> get_alarm_back() const = 0;
            virtual std::optional<unsigned int> get_distance() const = 0;
            virtual std::optional<unsigned int> get_angle() const = 0;
            virtual std::optional<unsigned int> get_delay() const = 0;
            virtual std::optional<std::string> get_pin() const = 0;
            virtual std::optional<unsigned int> get_alert_distance() const = 0;
            virtual std::optional<unsigned int> get_safe_distance() const = 0;
            virtual std::optional<bool> get_buzzer() const = 0;
            virtual std::optional<bool> get_haptic() const = 0;
        };

        virtual ~tag_config() = default;
        virtual bool get_stationary() const = 0;
        virtual std::optional<strings_range> get_t2t_no_alarm() const = 0;
        // Null when "t2t_cfg" is not an object; lives as long as this view.
        virtual const t2t_cfg* get_t2t_cfg() const = 0;
    };

    virtual ~trackable_object() = default;

    virtual std::string get_uid() const = 0;
    virtual std::string get_name() const = 0;
    virtual std::optional<bool> get_responsive() const = 0;
    virtual std::optional<std::string> get_mac_address() const = 0;
    virtual std::string get_project_uid() const = 0;
    virtual std::optional<std::string> get_sublocation_uid() const = 0;
    virtual std::optional<int> get_x() const = 0;
    virtual std::optional<int> get_y() const = 0;
    virtual std::optional<int> get_z() const = 0;
    virtual unsigned int get_ts() const = 0;
    virtual unsigned int get_ms() const = 0;
    virtual std::optional<std::string> get_self_zone_uid() const = 0;
    virtual std::optional<strings_range> get_groups() const = 0;
    virtual int get_default_height() const = 0;
    virtual std::string get_type() const = 0;
    virtual std::string get_category() const = 0;
    virtual std::unique_ptr<tag_config> get_tag_config() const = 0;
};

} // namespace nkp::libs::context_utils::parsers
