#pragma once

#include "core/timestamp.hpp"

#include <boost/optional.hpp>

#include <functional>
#include <string>
#include <vector>

namespace nkp::libs::context_utils::objects {

// A zone of the location system: an area on a sublocation. Each field is read from the
// zone's JSON on first access; a missing or ill-typed required field throws then.
class zone {
public:
    class point {
    public:
        virtual ~point() = default;
        virtual int get_x() const = 0;
        virtual int get_y() const = 0;
    };

    class zone_geometry {
    public:
        using point_callback = std::function<bool(const point&)>;
        virtual ~zone_geometry() = default;
        virtual boost::optional<int> get_radius() const = 0;
        // In array order; stops at the first false and returns false.
        virtual bool for_each_point(const point_callback& _callback) const = 0;
    };

    // An object the server reports inside the zone, with where and when it entered.
    class trackable_in_zone {
    public:
        virtual ~trackable_in_zone() = default;
        virtual const std::string& get_uid() const = 0;
        virtual int get_x() const = 0;
        virtual int get_y() const = 0;
        virtual int get_z() const = 0;
        virtual core::timestamp get_time() const = 0;
    };

    class user_params {
    public:
        virtual ~user_params() = default;
        // Any JSON number, as unsigned; anything else or nothing gives empty.
        virtual boost::optional<unsigned int> get_max_occupancy() const = 0;
    };

    using trackable_in_zone_callback = std::function<bool(const trackable_in_zone&)>;
    using zone_exceptions = const std::vector<std::string>&;
    using zone_exceptions_groups = const std::vector<std::string>&;

    zone() = default;
    zone(const zone&) = default;
    virtual ~zone() = default;

    virtual const std::string& get_uid() const = 0;
    virtual const std::string& get_project_uid() const = 0;
    virtual boost::optional<unsigned int> get_zone_id() const = 0;
    virtual const std::string& get_name() const = 0;
    virtual boost::optional<const std::string&> get_sublocation_uid() const = 0;
    virtual bool get_active() const = 0;
    virtual const std::string& get_shape() const = 0;
    virtual const std::string& get_zone_type_name() const = 0;
    virtual unsigned int get_zone_alarm_level() const = 0;
    virtual boost::optional<unsigned int> get_sublocation_id() const = 0;
    virtual unsigned int get_zone_type_id() const = 0;
    virtual bool get_default_allowed() const = 0;
    virtual int get_priority() const = 0;
    // "updated_at" of a zone from the REST server; "ts" and "ms" of the message it came in.
    virtual core::timestamp get_updated_at() const = 0;
    virtual boost::optional<const std::string&> get_trackable_object_uid() const = 0;
    virtual const zone_geometry& get_zone_geometry() const = 0;
    // In array order, skipping elements that are not objects; stops at the first false and
    // returns false. No call when the list is absent.
    virtual bool for_each_trackable_in_zone(const trackable_in_zone_callback& _callback) const = 0;
    // Sorted, strings only.
    virtual zone_exceptions get_zone_exceptions() const = 0;
    virtual zone_exceptions_groups get_zone_exceptions_groups() const = 0;
    virtual boost::optional<const user_params&> get_user_params() const = 0;
};

} // namespace nkp::libs::context_utils::objects
