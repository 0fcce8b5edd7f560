#pragma once

#include "context/context.hpp"
#include "core/logger.hpp"
#include "core/periodic_timer.hpp"
#include "core/redis/context.hpp"
#include "core/timers_manager.hpp"

#include <chrono>
#include <cstdint>
#include <string>

namespace nkp {

// Mirrors the zone events into Redis as they change. The mirror is secondary to the alarms:
// a Redis failure is logged and leaves the mirror stale instead of stopping the other
// observers; the mirror is rewritten from the repository once Redis answers again.
class external_storage
    : public libs::context_utils::objects_repository<context::zone_event>::observer {
public:
    // The key builders; every key begins with the service name.
    struct branches {
        static std::string zone_events();
        static std::string zone_events_set();
        static std::string zone_events_uid(const std::string& _uid);
        static std::string zone_events_uid_fields(const std::string& _uid);
    };

    enum class action : std::int32_t { CREATE = 0, UPDATE = 1, DELETE = 2 };

    static constexpr std::chrono::seconds STALE_CHECK_PERIOD{2};

    // Clears what an earlier run left (everything of the service on a first start, the zone
    // events after) and writes the version; throws the Redis client's exceptions.
    external_storage(context::context& _context, libs::core::redis::context& _redis_context,
                     libs::core::timers_manager& _timers, libs::core::logger& _logger);

    // objects_repository::observer
    void after_creating(const context::zone_event& _event, libs::core::timestamp _ts) override;
    void after_updating(const context::zone_event& _event, libs::core::timestamp _ts) override;
    void before_deleting(const context::zone_event& _event, libs::core::timestamp _ts) override;

    // Whether a failed change left Redis behind the repository.
    bool is_stale() const { return m_stale; }

private:
    void change(action _action, const context::zone_event& _event,
                const libs::core::timestamp& _ts);
    void write(action _action, const context::zone_event& _event, const libs::core::timestamp& _ts);
    void write_version();
    // Rewrites the mirror from the repository; false (logged) while Redis still fails.
    bool resynchronize();

    libs::core::redis::context& m_redis_context;
    const context::context& m_context;
    libs::context_utils::objects_repository<context::zone_event>::subscription_handle
        m_zone_events_subscription_handle;
    libs::core::logger& m_logger;
    std::string m_constants_table;
    bool m_stale = false;
    libs::core::periodic_timer::ptr m_stale_check;
};

} // namespace nkp
