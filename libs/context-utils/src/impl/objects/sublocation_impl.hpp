#pragma once

#include "context_utils/objects/sublocation.hpp"
#include "json_source.hpp"

namespace nkp::libs::context_utils::objects {

class sublocation_impl final : public sublocation, private json_source {
public:
    explicit sublocation_impl(const json_object& _json)
        : json_source(_json) {}
    explicit sublocation_impl(const json_notify& _json)
        : json_source(_json) {}

    // sublocation
    const std::string& get_uid() const override { return m_uid.get(m_json_value, "uid"); }
    core::timestamp get_updated_at() const override { return updated_at(); }
    boost::optional<const std::string&> get_name() const override {
        return m_name.get(m_json_value, "name");
    }
    boost::optional<const std::string&> get_project_name() const override {
        return m_project_name.get(m_json_value, "project_name");
    }
    boost::optional<const std::string&> get_project_uid() const override {
        return m_project_uid.get(m_json_value, "project_uid");
    }
    boost::optional<const std::string&> get_company_uid() const override {
        return m_company_uid.get(m_json_value, "company_uid");
    }
    boost::optional<const std::string&> get_location_uid() const override {
        return m_location_uid.get(m_json_value, "location_uid");
    }
    boost::optional<unsigned int> get_id() const override { return m_id.get(m_json_value, "id"); }
    boost::optional<int> get_offset_x() const override {
        return m_offset_x.get(m_json_value, "offset_x");
    }
    boost::optional<int> get_offset_y() const override {
        return m_offset_y.get(m_json_value, "offset_y");
    }
    boost::optional<int> get_offset_z() const override {
        return m_offset_z.get(m_json_value, "offset_z");
    }

private:
    lazy_value<string_value> m_uid;
    lazy_value<optional_value<string_value>> m_name;
    lazy_value<optional_value<string_value>> m_project_name;
    lazy_value<optional_value<string_value>> m_project_uid;
    lazy_value<optional_value<string_value>> m_company_uid;
    lazy_value<optional_value<string_value>> m_location_uid;
    lazy_value<optional_value<unumeric_value>> m_id;
    lazy_value<optional_value<numeric_value>> m_offset_x;
    lazy_value<optional_value<numeric_value>> m_offset_y;
    lazy_value<optional_value<numeric_value>> m_offset_z;
};

} // namespace nkp::libs::context_utils::objects
