#pragma once

#include "core/timestamp.hpp"

#include <string_view>

namespace nkp::libs::context_utils::parsers {

// A "pos" message; failures throw exception "context-utils: pos: ...". Views point into the
// message.
class pos {
public:
    virtual ~pos() = default;

    virtual std::string_view get_trackable_uid() const = 0;
    virtual core::timestamp get_ts() const = 0;
    virtual int get_x() const = 0;
    virtual int get_y() const = 0;
    virtual int get_z() const = 0;
    virtual std::string_view get_type() const = 0;
    virtual std::string_view get_sublocation_uid() const = 0;
    virtual unsigned int get_fom() const = 0;
    virtual std::string_view get_mac() const = 0;
};

} // namespace nkp::libs::context_utils::parsers
