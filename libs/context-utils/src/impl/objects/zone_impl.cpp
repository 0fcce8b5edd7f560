#include "zone_impl.hpp"

#include "for_each_element.hpp"

namespace nkp::libs::context_utils::objects {

zone_impl::zone_impl(const json_object& _json)
    : json_source(_json) {}

zone_impl::zone_impl(const json_notify& _json)
    : json_source(_json) {}

const std::string& zone_impl::get_uid() const {
    return m_uid.get(m_json_value, "uid");
}

const std::string& zone_impl::get_project_uid() const {
    return m_project_uid.get(m_json_value, "project_uid");
}

boost::optional<unsigned int> zone_impl::get_zone_id() const {
    return m_zone_id.get(m_json_value, "zone_id");
}

const std::string& zone_impl::get_name() const {
    return m_name.get(m_json_value, "name");
}

boost::optional<const std::string&> zone_impl::get_sublocation_uid() const {
    return m_sublocation_uid.get(m_json_value, "sublocation_uid");
}

bool zone_impl::get_active() const {
    return m_active.get(m_json_value, "active");
}

const std::string& zone_impl::get_shape() const {
    return m_shape.get(m_json_value, "shape");
}

const std::string& zone_impl::get_zone_type_name() const {
    return m_zone_type_name.get(m_json_value, "zone_type_name");
}

unsigned int zone_impl::get_zone_alarm_level() const {
    return m_zone_alarm_level.get(m_json_value, "zone_alarm_level");
}

boost::optional<unsigned int> zone_impl::get_sublocation_id() const {
    return m_sublocation_id.get(m_json_value, "sublocation_id");
}

unsigned int zone_impl::get_zone_type_id() const {
    return m_zone_type_id.get(m_json_value, "zone_type_id");
}

bool zone_impl::get_default_allowed() const {
    return m_default_allowed.get(m_json_value, "default_allowed");
}

int zone_impl::get_priority() const {
    return m_priority.get(m_json_value, "priority");
}

core::timestamp zone_impl::get_updated_at() const {
    return updated_at();
}

boost::optional<const std::string&> zone_impl::get_trackable_object_uid() const {
    return m_trackable_object_uid.get(m_json_value, "trackable_object_uid");
}

const zone::zone_geometry& zone_impl::get_zone_geometry() const {
    return m_zone_geometry.get(m_json_value, "zone_geometry");
}

bool zone_impl::for_each_trackable_in_zone(const trackable_in_zone_callback& _callback) const {
    return for_each_element(m_trackables_in_zone.get(m_json_value, "trackables_in_zone"),
                            _callback);
}

zone::zone_exceptions zone_impl::get_zone_exceptions() const {
    return m_zone_exceptions.get(m_json_value, "zone_exceptions");
}

zone::zone_exceptions_groups zone_impl::get_zone_exceptions_groups() const {
    return m_zone_exceptions_groups.get(m_json_value, "zone_exceptions_groups");
}

boost::optional<const zone::user_params&> zone_impl::get_user_params() const {
    return m_user_params.get(m_json_value, "user_params");
}

boost::optional<int> zone_impl::zone_geometry_impl::get_radius() const {
    return m_radius.get(m_json_value, "radius");
}

bool zone_impl::zone_geometry_impl::for_each_point(const point_callback& _callback) const {
    return for_each_element(m_positions.get(m_json_value, "positions"), _callback);
}

} // namespace nkp::libs::context_utils::objects
