#pragma once

#include "context_utils/objects_repository.hpp"

#include <chrono>
#include <memory>

namespace nkp::libs::context_utils {

// A repository that keeps itself current from the REST server and "notify" messages; its
// users only read it.
template <class T>
class objects_repository_manager {
public:
    using objects = objects_repository<T>;
    using ptr = std::unique_ptr<objects_repository_manager<T>>;

    virtual ~objects_repository_manager() = default;

    virtual const objects& get_objects() const = 0;
    // No more periodic reloads.
    virtual void disable_timer() = 0;
    virtual void set_update_period(std::chrono::nanoseconds _period) = 0;
};

} // namespace nkp::libs::context_utils
