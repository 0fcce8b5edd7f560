#pragma once

#include "context_utils/objects/node.hpp"
#include "json_source.hpp"

namespace nkp::libs::context_utils::objects {

class node_impl final : public node, private json_source {
public:
    class status_impl final : public status, private json_part {
    public:
        explicit status_impl(const Json::Value& _json)
            : json_part(_json) {}
        bool get_ext_pow() const override { return m_ext_pow.get(m_json_value, "ext_pow"); }

    private:
        lazy_value<bool_value> m_ext_pow;
    };

    explicit node_impl(const json_object& _json)
        : json_source(_json) {}
    explicit node_impl(const json_notify& _json)
        : json_source(_json) {}

    // node
    const std::string& get_uid() const override { return m_uid.get(m_json_value, "uid"); }
    const std::string& get_mac_address() const override {
        return m_mac_address.get(m_json_value, "mac_address");
    }
    core::timestamp get_updated_at() const override { return updated_at(); }
    boost::optional<const status&> get_status() const override {
        return m_status.get(m_json_value, "status");
    }

private:
    lazy_value<string_value> m_uid;
    lazy_value<string_value> m_mac_address;
    lazy_value<optional_value<object_value<status, status_impl>>> m_status;
};

} // namespace nkp::libs::context_utils::objects
