#pragma once

#include "core/timestamp.hpp"

#include <boost/optional.hpp>

#include <string>

namespace nkp::libs::context_utils::objects {

// A radio node with its status; read lazily like a zone.
class node {
public:
    class status {
    public:
        virtual ~status() = default;
        virtual bool get_ext_pow() const = 0;
    };

    virtual ~node() = default;

    virtual const std::string& get_uid() const = 0;
    virtual const std::string& get_mac_address() const = 0;
    virtual core::timestamp get_updated_at() const = 0;
    virtual boost::optional<const status&> get_status() const = 0;
};

} // namespace nkp::libs::context_utils::objects
