#pragma once

#include "context_utils/parsers/strings_range.hpp"
#include "core/timestamp.hpp"

#include <functional>
#include <optional>
#include <string>

namespace nkp::libs::context_utils::parsers {

// A view of a zone's JSON for the duration of a callback: nothing is cached, every call reads
// anew and throws std::logic_error "context-utils: ..." for a missing or ill-typed member.
class zone {
public:
    class point {
    public:
        virtual ~point() = default;
        virtual int get_x() const = 0;
        virtual int get_y() const = 0;
    };
    class trackable_in_zone {
    public:
        virtual ~trackable_in_zone() = default;
        virtual std::string get_uid() const = 0;
        virtual int get_x() const = 0;
        virtual int get_y() const = 0;
        virtual int get_z() const = 0;
        virtual core::timestamp get_time() const = 0;
    };
    using point_callback = std::function<bool(const point&)>;
    using trackable_in_zone_callback = std::function<bool(const trackable_in_zone&)>;

    virtual ~zone() = default;

    virtual std::string get_uid() const = 0;
    virtual std::string get_project_uid() const = 0;
    virtual std::string get_name() const = 0;
    virtual std::optional<std::string> get_sublocation_uid() const = 0;
    virtual bool get_active() const = 0;
    virtual std::string get_shape() const = 0;
    virtual std::string get_zone_type_name() const = 0;
    virtual unsigned int get_zone_alarm_level() const = 0;
    virtual bool get_default_allowed() const = 0;
    virtual int get_priority() const = 0;
    // "updated_at" of a REST element, or the message's "ts" and "ms".
    virtual unsigned int get_ts() const = 0;
    virtual unsigned int get_ms() const = 0;
    virtual std::optional<std::string> get_trackable_object_uid() const = 0;
    virtual std::optional<int> get_radius() const = 0;
    virtual bool for_each_point(const point_callback& _callback) const = 0;
    virtual strings_range get_zone_exceptions() const = 0;
    virtual strings_range get_zone_exceptions_groups() const = 0;
    virtual bool for_each_trackable_in_zone(const trackable_in_zone_callback& _callback) const = 0;
};

} // namespace nkp::libs::context_utils::parsers
