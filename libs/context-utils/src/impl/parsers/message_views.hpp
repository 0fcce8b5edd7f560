#pragma once

#include "context_utils/parsers/pos.hpp"
#include "context_utils/parsers/trackable_object_association.hpp"
#include "context_utils/parsers/trackable_object_groups.hpp"

#include <jsoncpp/json/value.h>

namespace nkp::libs::context_utils::parsers {

// Views of whole messages: groups and associations (the "plist" and the message), positions.
class trackable_object_groups_impl final : public trackable_object_groups {
public:
    trackable_object_groups_impl(const Json::Value& _json, const Json::Value& _notify)
        : m_json_value(_json)
        , m_json_notify(_notify) {}

    // trackable_object_groups
    core::timestamp get_ts() const override;
    std::string get_project_uid() const override;
    bool for_each_added_group(const group_callback& _callback) const override;
    bool for_each_removed_group(const group_callback& _callback) const override;

private:
    bool for_each_group(const char* _action, const group_callback& _callback) const;

    const Json::Value& m_json_value;
    const Json::Value& m_json_notify;
};

class trackable_object_association_impl final : public trackable_object_association {
public:
    trackable_object_association_impl(const Json::Value& _json, const Json::Value& _notify)
        : m_json_value(_json)
        , m_json_notify(_notify) {}

    // trackable_object_association
    core::timestamp get_ts() const override;
    std::string get_project_uid() const override;
    std::string get_mac_address() const override;
    std::string get_trackable_object_uid() const override;
    core::timestamp get_created_at() const override;
    std::optional<core::timestamp> get_removed_at() const override;

private:
    const Json::Value& m_json_value;
    const Json::Value& m_json_notify;
};

class pos_impl final : public pos {
public:
    explicit pos_impl(const Json::Value& _json)
        : m_json_value(_json) {}

    // pos
    std::string_view get_trackable_uid() const override;
    core::timestamp get_ts() const override;
    int get_x() const override;
    int get_y() const override;
    int get_z() const override;
    std::string_view get_type() const override;
    std::string_view get_sublocation_uid() const override;
    unsigned int get_fom() const override;
    std::string_view get_mac() const override;

private:
    const Json::Value& m_json_value;
};

} // namespace nkp::libs::context_utils::parsers
