#pragma once

#include "core/events_loop.hpp"
#include "core/logger.hpp"

#include <memory>
#include <string>

namespace nkp::libs::core {

// The factory of events loops; every loop logs through the component "core".
class core {
public:
    using ptr = std::unique_ptr<core>;

    static ptr create(const logger& _logger);

    virtual ~core() = default;

    // The name documents the caller; the loop does not keep it.
    virtual events_loop::ptr create_events_loop(const std::string& _name) = 0;
};

} // namespace nkp::libs::core
