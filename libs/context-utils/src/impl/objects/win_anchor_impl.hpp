#pragma once

#include "context_utils/objects/win_anchor.hpp"
#include "json_source.hpp"

namespace nkp::libs::context_utils::objects {

class win_anchor_impl final : public win_anchor, private json_source {
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
        unsigned int get_node_id() const override { return m_node_id.get(m_json_value, "node_id"); }

    private:
        lazy_value<bool_value> m_responsive;
        lazy_value<string_value> m_mac_address;
        lazy_value<uint_value> m_node_id;
    };

    class position_impl final : public position, private json_part {
    public:
        explicit position_impl(const Json::Value& _json)
            : json_part(_json) {}
        int get_x() const override { return m_x.get(m_json_value, "x"); }
        int get_y() const override { return m_y.get(m_json_value, "y"); }
        int get_z() const override { return m_z.get(m_json_value, "z"); }

    private:
        lazy_value<numeric_value> m_x;
        lazy_value<numeric_value> m_y;
        lazy_value<numeric_value> m_z;
    };

    explicit win_anchor_impl(const json_object& _json)
        : json_source(_json) {}
    explicit win_anchor_impl(const json_notify& _json)
        : json_source(_json) {}

    // win_anchor
    const std::string& get_uid() const override { return m_uid.get(m_json_value, "uid"); }
    const std::string& get_name() const override { return m_name.get(m_json_value, "name"); }
    boost::optional<const node&> get_node() const override {
        return m_node.get(m_json_value, "node");
    }
    const std::string& get_sublocation_uid() const override {
        return m_sublocation_uid.get(m_json_value, "sublocation_uid");
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

private:
    lazy_value<string_value> m_uid;
    lazy_value<string_value> m_name;
    lazy_value<optional_value<object_value<node, node_impl>>> m_node;
    lazy_value<string_value> m_sublocation_uid;
    lazy_value<string_value> m_project_uid;
    lazy_value<string_value> m_company_uid;
    lazy_value<optional_value<object_value<position, position_impl>>> m_position;
};

} // namespace nkp::libs::context_utils::objects
