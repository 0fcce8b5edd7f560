#pragma once

#include "core/timestamp.hpp"

#include <functional>
#include <string>

namespace nkp::libs::context_utils::parsers {

// A "TRACKABLE_OBJECT_GROUPS" message: groups added to and removed from objects.
class trackable_object_groups {
public:
    class group {
    public:
        virtual ~group() = default;
        virtual const std::string& get_uid() const = 0;
        virtual std::string get_trackable_object_uid() const = 0;
    };
    using group_callback = std::function<bool(const group&)>;

    virtual ~trackable_object_groups() = default;

    virtual core::timestamp get_ts() const = 0;
    virtual std::string get_project_uid() const = 0;
    // By group uid; stops at the first false and returns false.
    virtual bool for_each_added_group(const group_callback& _callback) const = 0;
    virtual bool for_each_removed_group(const group_callback& _callback) const = 0;
};

} // namespace nkp::libs::context_utils::parsers
