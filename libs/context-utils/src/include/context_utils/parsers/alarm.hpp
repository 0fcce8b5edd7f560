#pragma once

#include <optional>
#include <string>

namespace nkp::libs::context_utils::parsers {

// A view of an alarm listed by the REST server; reads anew each call.
class alarm {
public:
    virtual ~alarm() = default;

    virtual std::string get_uid() const = 0;
    virtual std::string get_mac_address() const = 0;
    virtual std::string get_alarm_name() const = 0;
    virtual std::string get_text() const = 0;
    virtual std::optional<unsigned int> get_zone_alarm_level() const = 0;
    virtual std::optional<std::string> get_zone_violation_type() const = 0;
    virtual std::optional<std::string> get_zone_uid() const = 0;
    virtual unsigned int get_ts() const = 0;
    virtual unsigned int get_ms() const = 0;
    virtual std::optional<std::string> get_sublocation_uid() const = 0;
    virtual std::optional<int> get_x() const = 0;
    virtual std::optional<int> get_y() const = 0;
    virtual std::optional<int> get_z() const = 0;
    virtual std::string get_obj_uid() const = 0;
};

} // namespace nkp::libs::context_utils::parsers
