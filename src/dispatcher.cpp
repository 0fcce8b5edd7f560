#include "dispatcher.hpp"

#include "core/exception.hpp"

namespace nkp {

namespace {

constexpr unsigned int MAX_ATTEMPT_COUNTER = 5;
constexpr unsigned int DELIVERY_TIMEOUT_MS = 2500;

} // namespace

dispatcher::dispatcher(libs::core::events_loop& _events_loop, context::writable_context& _context,
                       libs::core::logger& _logger, messenger& _messenger,
                       const std::set<std::string, std::less<>>& _zone_types)
    : m_events_loop(_events_loop)
    , m_zone_events_subscription_handle(_context.get_zone_events().subscribe(*this))
    , m_zones_subscription_handle(_context.get_zones().subscribe(*this))
    , m_context(_context)
    , m_logger(_logger)
    , m_messenger(_messenger)
    , m_config_zone_types(_zone_types) {
    m_messenger.set_on_reboot([this](const std::string& _uid) { on_reboot(_uid); });
    m_messenger.set_on_heartbeat([this](const std::string& _uid) { on_heartbeat(_uid); });
    m_messenger.set_on_ack([this](const std::string& _uid, unsigned int _seq_no,
                                  libs::core::timestamp _ts) { on_ack(_uid, _seq_no, _ts); });
}

dispatcher::~dispatcher() {
    // The messenger outlives the dispatcher: its callbacks must not reach a destroyed one.
    m_messenger.set_on_reboot(nullptr);
    m_messenger.set_on_heartbeat(nullptr);
    m_messenger.set_on_ack(nullptr);
    m_w_events.clear();
}

void dispatcher::initialize() {
    const auto now = libs::core::timestamp::current_time();
    m_context.get_zone_events().for_each([&](const context::zone_event& _event) {
        m_logger.execute(CORE_SOURCE_LOCATION, [&] { after_creating(_event, now); });
        return true;
    });
}

std::optional<unsigned int> dispatcher::get_max_occupancy(const std::string& _zone_uid) const {
    const auto zone = m_context.get_zones().try_get(_zone_uid);
    if (!zone) {
        m_logger.debug("Zone not found %1%")
                .short_function(CORE_SOURCE_LOCATION)
                .location(CORE_SOURCE_LOCATION) %
            _zone_uid;
        return std::nullopt;
    }
    const auto params = zone->get_user_params();
    if (!params) {
        m_logger.debug("The zone %1% does not have a \"user_params\" field")
                .short_function(CORE_SOURCE_LOCATION)
                .location(CORE_SOURCE_LOCATION) %
            _zone_uid;
        return std::nullopt;
    }
    const auto max = params->get_max_occupancy();
    if (!max) {
        m_logger.debug("The zone %1% does not have a \"max_occupancy\" field")
                .short_function(CORE_SOURCE_LOCATION)
                .location(CORE_SOURCE_LOCATION) %
            _zone_uid;
        return std::nullopt;
    }
    return *max;
}

unsigned int dispatcher::get_actual_occupancy(const std::string& _zone_uid) {
    unsigned int count = 0;
    for (const auto& [uid, record] : m_w_events[_zone_uid]) {
        count += record.get_deleted() ? 0 : 1;
    }
    return count;
}

void dispatcher::recalculate_zone(const std::string& _zone_uid) {
    const auto limit = get_max_occupancy(_zone_uid);
    if (!limit) {
        return;
    }
    const bool over = get_actual_occupancy(_zone_uid) > *limit;
    for (auto& [uid, record] : m_w_events[_zone_uid]) {
        const auto current = record.get_status();
        if (over) {
            if (!record.get_deleted() && (current == status::NORM || current == status::CLEAR ||
                                          current == status::CLEAR_SENT)) {
                record.set_status(status::ALARM).set_attempt_counter(0);
            }
        } else if (current == status::ALARM) {
            record.set_status(status::NORM).set_attempt_counter(0);
        } else if (current == status::ALARM_SENT || current == status::ALARM_ACKED) {
            record.set_status(status::CLEAR).set_attempt_counter(0);
        }
    }
}

void dispatcher::send_first(writable_zone_event& _record, libs::core::timestamp _ts) {
    const bool alarm = _record.get_status() == status::ALARM ||
                       _record.get_status() == status::ALARM_SENT ||
                       _record.get_status() == status::ALARM_ACKED;
    if (alarm) {
        m_messenger.send_set_event(_record.get_obj_uid(), _record.get_zone_id());
    } else {
        m_messenger.send_clear_event(_record.get_obj_uid(), _record.get_zone_id());
    }
    _record.set_sending_time(_ts)
        .set_attempt_counter(1)
        .set_seq_no(m_messenger.get_last_sequence_number())
        .set_status(alarm ? status::ALARM_SENT : status::CLEAR_SENT);
    create_timer(_record);
}

void dispatcher::send_events_for_zone(const std::string& _zone_uid, libs::core::timestamp _ts) {
    for (auto& [uid, record] : m_w_events[_zone_uid]) {
        if (record.get_status() == status::ALARM || record.get_status() == status::CLEAR) {
            send_first(record, _ts);
        }
    }
}

void dispatcher::create_timer(writable_zone_event& _record) {
    _record.set_timer(m_events_loop.create_periodic_timer(
        std::chrono::milliseconds(DELIVERY_TIMEOUT_MS), "delivery timer",
        [this, &_record](libs::core::timer::time_point) { on_tick(_record); }, {}));
}

void dispatcher::on_tick(writable_zone_event& _record) {
    const auto attempts = _record.get_attempt_counter();
    if (attempts >= MAX_ATTEMPT_COUNTER) {
        _record.stop_timer();
        return;
    }
    m_logger.debug("Timer %1%") % attempts;
    switch (_record.get_status()) {
    case status::ALARM:
    case status::ALARM_SENT:
        m_messenger.send_set_event(_record.get_obj_uid(), _record.get_zone_id());
        _record.set_status(status::ALARM_SENT);
        break;
    case status::CLEAR:
    case status::CLEAR_SENT:
        m_messenger.send_clear_event(_record.get_obj_uid(), _record.get_zone_id());
        _record.set_status(status::CLEAR_SENT);
        break;
    case status::NORM:
    case status::ALARM_ACKED:
        return;
    }
    _record.set_sending_time(libs::core::timestamp::current_time())
        .set_seq_no(m_messenger.get_last_sequence_number())
        .increase_attempt_counter();
}

void dispatcher::after_creating(const context::zone_event& _event, libs::core::timestamp _ts) {
    auto& group = m_w_events[_event.get_zone_uid()];
    const auto [position, inserted] = group.try_emplace(_event.get_uid(), _event.get_uid(),
                                                        _event.get_obj_uid(), _event.get_zone_id());
    if (!inserted) {
        // Back in before its clear event was acknowledged.
        position->second.set_status(status::NORM).set_attempt_counter(0).set_deleted(false);
    }
    recalculate_zone(_event.get_zone_uid());
    send_events_for_zone(_event.get_zone_uid(), _ts);
}

void dispatcher::after_updating(const context::zone_event&, libs::core::timestamp) {}

void dispatcher::before_deleting(const context::zone_event& _event, libs::core::timestamp _ts) {
    const auto group = m_w_events.find(_event.get_zone_uid());
    if (group == m_w_events.end()) {
        return;
    }
    const auto position = group->second.find(_event.get_uid());
    if (position == group->second.end()) {
        return;
    }
    auto& record = position->second;
    record.set_deleted(true);
    switch (record.get_status()) {
    case status::NORM:
    case status::ALARM:
        group->second.erase(position);
        if (group->second.empty()) {
            m_w_events.erase(group);
        }
        return;
    case status::ALARM_SENT:
    case status::ALARM_ACKED:
        record.set_status(status::CLEAR).set_attempt_counter(0);
        break;
    case status::CLEAR:
    case status::CLEAR_SENT:
        break;
    }
    recalculate_zone(_event.get_zone_uid());
    send_events_for_zone(_event.get_zone_uid(), _ts);
}

void dispatcher::after_creating(const libs::context_utils::objects::zone&, libs::core::timestamp) {}

void dispatcher::after_updating(const libs::context_utils::objects::zone& _zone,
                                libs::core::timestamp _ts) {
    if (!m_config_zone_types.contains(_zone.get_zone_type_name())) {
        return;
    }
    const std::string uid = _zone.get_uid();
    recalculate_zone(uid);
    send_events_for_zone(uid, _ts);
}

void dispatcher::before_deleting(const libs::context_utils::objects::zone&, libs::core::timestamp) {
}

void dispatcher::on_ack(const std::string& _uid, unsigned int _seq_no, libs::core::timestamp) {
    for (auto group = m_w_events.begin(); group != m_w_events.end();) {
        auto& records = group->second;
        for (auto position = records.begin(); position != records.end();) {
            auto& record = position->second;
            if (record.get_obj_uid() != _uid || record.get_seq_no() != _seq_no) {
                ++position;
                continue;
            }
            if (record.get_status() == status::ALARM_SENT) {
                record.set_status(status::ALARM_ACKED).set_attempt_counter(0).stop_timer();
            } else if (record.get_status() == status::CLEAR_SENT) {
                if (record.get_deleted()) {
                    position = records.erase(position);
                    continue;
                }
                record.set_status(status::NORM).set_attempt_counter(0).stop_timer();
            }
            ++position;
        }
        group = records.empty() ? m_w_events.erase(group) : std::next(group);
    }
}

void dispatcher::on_reboot(const std::string& _uid) {
    const auto now = libs::core::timestamp::current_time();
    for (auto& [zone_uid, records] : m_w_events) {
        for (auto& [uid, record] : records) {
            if (record.get_obj_uid() == _uid && record.get_status() != status::NORM) {
                send_first(record, now);
            }
        }
    }
}

void dispatcher::on_heartbeat(const std::string& _uid) {
    for (auto& [zone_uid, records] : m_w_events) {
        for (auto& [uid, record] : records) {
            if (record.get_obj_uid() == _uid &&
                record.get_attempt_counter() >= MAX_ATTEMPT_COUNTER) {
                record.set_attempt_counter(0).restart_timer();
            }
        }
    }
}

} // namespace nkp
