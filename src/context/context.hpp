#pragma once

#include "context/zone_event.hpp"
#include "context_utils/objects/zone.hpp"
#include "context_utils/objects_repository.hpp"
#include "context_utils/objects_repository_manager.hpp"
#include "core/exception.hpp"

#include <memory>

namespace nkp::context {

// The service's picture of the world: the zones and one zone event per object inside a zone.
// Only the events loop thread touches it.
class context {
public:
    using zone_events = libs::context_utils::objects_repository<zone_event>;
    using zones = libs::context_utils::objects_repository<libs::context_utils::objects::zone>;
    using zones_ptr = std::unique_ptr<
        libs::context_utils::objects_repository_manager<libs::context_utils::objects::zone>>;

    virtual ~context() = default;

    // Valid once the zones were set.
    const zones& get_zones() const {
        CORE_CHECK(m_zones != nullptr);
        return m_zones->get_objects();
    }
    const zone_events& get_zone_events() const { return m_zone_events; }
    zone_events& take_zone_events() { return m_zone_events; }

protected:
    void set_zones(zones_ptr _zones) { m_zones = std::move(_zones); }

private:
    zones_ptr m_zones;
    zone_events m_zone_events;
};

// The context for the components that change it.
class writable_context : public context {
public:
    using context::set_zones;
    using context::take_zone_events;
};

} // namespace nkp::context
