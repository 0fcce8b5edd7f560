#pragma once

#include "core/timestamp.hpp"

#include <boost/optional.hpp>

#include <string>

namespace nkp::libs::context_utils::objects {

// A floor plan with its offsets; read lazily like a zone.
class sublocation {
public:
    virtual ~sublocation() = default;

    virtual const std::string& get_uid() const = 0;
    virtual core::timestamp get_updated_at() const = 0;
    virtual boost::optional<const std::string&> get_name() const = 0;
    virtual boost::optional<const std::string&> get_project_name() const = 0;
    virtual boost::optional<const std::string&> get_project_uid() const = 0;
    virtual boost::optional<const std::string&> get_company_uid() const = 0;
    virtual boost::optional<const std::string&> get_location_uid() const = 0;
    virtual boost::optional<unsigned int> get_id() const = 0;
    virtual boost::optional<int> get_offset_x() const = 0;
    virtual boost::optional<int> get_offset_y() const = 0;
    virtual boost::optional<int> get_offset_z() const = 0;
};

} // namespace nkp::libs::context_utils::objects
