#pragma once

#include "context_utils/lazy_value.hpp"
#include "context_utils/objects/zone.hpp"
#include "json_source.hpp"

#include <optional>

namespace nkp::libs::context_utils::objects {

class zone_impl final : public zone, private json_source {
public:
    // From one element of the REST server's zone list.
    explicit zone_impl(const json_object& _json);
    // From a whole "notify" message: the zone is its "plist".
    explicit zone_impl(const json_notify& _json);

    // zone
    const std::string& get_uid() const override;
    const std::string& get_project_uid() const override;
    boost::optional<unsigned int> get_zone_id() const override;
    const std::string& get_name() const override;
    boost::optional<const std::string&> get_sublocation_uid() const override;
    bool get_active() const override;
    const std::string& get_shape() const override;
    const std::string& get_zone_type_name() const override;
    unsigned int get_zone_alarm_level() const override;
    boost::optional<unsigned int> get_sublocation_id() const override;
    unsigned int get_zone_type_id() const override;
    bool get_default_allowed() const override;
    int get_priority() const override;
    core::timestamp get_updated_at() const override;
    boost::optional<const std::string&> get_trackable_object_uid() const override;
    const zone_geometry& get_zone_geometry() const override;
    bool for_each_trackable_in_zone(const trackable_in_zone_callback& _callback) const override;
    zone_exceptions get_zone_exceptions() const override;
    zone_exceptions_groups get_zone_exceptions_groups() const override;
    boost::optional<const user_params&> get_user_params() const override;

    // The nested views keep a reference into the zone's JSON.
    class point_impl final : public point, private json_part {
    public:
        explicit point_impl(const Json::Value& _json)
            : json_part(_json) {}
        int get_x() const override { return m_x.get(m_json_value, "x"); }
        int get_y() const override { return m_y.get(m_json_value, "y"); }

    private:
        lazy_value<numeric_value> m_x;
        lazy_value<numeric_value> m_y;
    };

    class zone_geometry_impl final : public zone_geometry, private json_part {
    public:
        explicit zone_geometry_impl(const Json::Value& _json)
            : json_part(_json) {}
        boost::optional<int> get_radius() const override;
        bool for_each_point(const point_callback& _callback) const override;

    private:
        lazy_value<optional_value<numeric_value>> m_radius;
        lazy_value<optional_value<array_value<object_value<point, point_impl>, do_not_sort_values>>>
            m_positions;
    };

    class trackable_in_zone_impl final : public trackable_in_zone, private json_part {
    public:
        explicit trackable_in_zone_impl(const Json::Value& _json)
            : json_part(_json)
            , m_json_entered(_json["entered"]) {}
        const std::string& get_uid() const override { return m_uid.get(m_json_value, "uid"); }
        int get_x() const override { return m_x.get(m_json_entered, "x", "entered.x"); }
        int get_y() const override { return m_y.get(m_json_entered, "y", "entered.y"); }
        int get_z() const override { return m_z.get(m_json_entered, "z", "entered.z"); }
        core::timestamp get_time() const override {
            return m_time.get(m_json_entered, "time", "entered.time");
        }

    private:
        const Json::Value& m_json_entered;
        lazy_value<string_value> m_uid;
        lazy_value<numeric_value> m_x;
        lazy_value<numeric_value> m_y;
        lazy_value<numeric_value> m_z;
        lazy_value<timestamp_value> m_time;
    };

    class user_params_impl final : public user_params, private json_part {
    public:
        explicit user_params_impl(const Json::Value& _json)
            : json_part(_json) {}
        boost::optional<unsigned int> get_max_occupancy() const override {
            return m_max_occupancy.get(m_json_value, "max_occupancy");
        }

    private:
        lazy_value<optional_value<unumeric_value>> m_max_occupancy;
    };

private:
    lazy_value<string_value> m_uid;
    lazy_value<string_value> m_project_uid;
    lazy_value<optional_value<uint_value>> m_zone_id;
    lazy_value<string_value> m_name;
    lazy_value<optional_value<string_value>> m_sublocation_uid;
    lazy_value<bool_value> m_active;
    lazy_value<string_value> m_shape;
    lazy_value<string_value> m_zone_type_name;
    lazy_value<uint_value> m_zone_alarm_level;
    lazy_value<optional_value<uint_value>> m_sublocation_id;
    lazy_value<uint_value> m_zone_type_id;
    lazy_value<bool_value> m_default_allowed;
    lazy_value<int_value> m_priority;
    lazy_value<optional_value<string_value>> m_trackable_object_uid;
    lazy_value<object_value<zone_geometry, zone_geometry_impl>> m_zone_geometry;
    lazy_value<optional_value<
        array_value<object_value<trackable_in_zone, trackable_in_zone_impl>, do_not_sort_values>>>
        m_trackables_in_zone;
    lazy_value<array_value<string_value, sort_values>> m_zone_exceptions;
    lazy_value<array_value<string_value, sort_values>> m_zone_exceptions_groups;
    lazy_value<optional_value<object_value<user_params, user_params_impl>>> m_user_params;
};

} // namespace nkp::libs::context_utils::objects
