#pragma once

#include "core/timestamp.hpp"

#include <optional>
#include <string>

namespace nkp::libs::context_utils::parsers {

// A "TRACKABLE_OBJECT_ASSOCIATION" message: a tag given to an object.
class trackable_object_association {
public:
    virtual ~trackable_object_association() = default;

    virtual core::timestamp get_ts() const = 0;
    virtual std::string get_project_uid() const = 0;
    virtual std::string get_mac_address() const = 0;
    virtual std::string get_trackable_object_uid() const = 0;
    virtual core::timestamp get_created_at() const = 0;
    // Empty while the association is in force.
    virtual std::optional<core::timestamp> get_removed_at() const = 0;
};

} // namespace nkp::libs::context_utils::parsers
