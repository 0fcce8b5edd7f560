#pragma once

#include "context/context.hpp"
#include "core/events_loop.hpp"
#include "core/logger.hpp"
#include "messenger.hpp"
#include "writable_zone_event.hpp"

#include <map>
#include <optional>
#include <set>
#include <string>

namespace nkp {

// Counts the objects in each zone and, while a zone holds more than its max_occupancy,
// alarms the device of every object inside; clears the alarms when the zone is within its
// limit or an object leaves. Every message is repeated until acknowledged, five sends at most.
class dispatcher : public context::context::zone_events::observer,
                   public context::context::zones::observer {
public:
    dispatcher(libs::core::events_loop& _events_loop, context::writable_context& _context,
               libs::core::logger& _logger, messenger& _messenger,
               const std::set<std::string, std::less<>>& _zone_types);
    ~dispatcher() override;

    // Brings in the zone events that existed before the dispatcher subscribed.
    void initialize();

    // zone events
    void after_creating(const context::zone_event& _event, libs::core::timestamp _ts) override;
    void after_updating(const context::zone_event& _event, libs::core::timestamp _ts) override;
    void before_deleting(const context::zone_event& _event, libs::core::timestamp _ts) override;
    // zones
    void after_creating(const libs::context_utils::objects::zone& _zone,
                        libs::core::timestamp _ts) override;
    void after_updating(const libs::context_utils::objects::zone& _zone,
                        libs::core::timestamp _ts) override;
    void before_deleting(const libs::context_utils::objects::zone& _zone,
                         libs::core::timestamp _ts) override;

    // The records of a zone, by zone event uid; for inspection.
    using records = std::map<std::string, writable_zone_event, std::less<>>;
    const std::map<std::string, records, std::less<>>& get_records() const { return m_w_events; }

private:
    using status = writable_zone_event::sending_status_t;

    std::optional<unsigned int> get_max_occupancy(const std::string& _zone_uid) const;
    unsigned int get_actual_occupancy(const std::string& _zone_uid);
    void recalculate_zone(const std::string& _zone_uid);
    void send_events_for_zone(const std::string& _zone_uid, libs::core::timestamp _ts);
    // Sends the record's current message (set or clear) as its first attempt.
    void send_first(writable_zone_event& _record, libs::core::timestamp _ts);
    void create_timer(writable_zone_event& _record);
    void on_tick(writable_zone_event& _record);
    void on_ack(const std::string& _uid, unsigned int _seq_no, libs::core::timestamp _ts);
    void on_reboot(const std::string& _uid);
    void on_heartbeat(const std::string& _uid);

    libs::core::events_loop& m_events_loop;
    context::context::zone_events::subscription_handle m_zone_events_subscription_handle;
    context::context::zones::subscription_handle m_zones_subscription_handle;
    context::writable_context& m_context;
    libs::core::logger& m_logger;
    std::map<std::string, records, std::less<>> m_w_events;
    messenger& m_messenger;
    const std::set<std::string, std::less<>>& m_config_zone_types;
};

} // namespace nkp
