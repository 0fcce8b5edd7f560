#include "external_storage.hpp"

#include "core/exception.hpp"
#include "utils.hpp"

namespace nkp {

namespace {

const std::string SERVICE_NAME = "brimwatch";
const std::string VERSION = "1.1.0";

std::string iso_time(const libs::core::timestamp& _ts) {
    return _ts.to_iso_8601(true, 'T', true);
}

} // namespace

std::string external_storage::branches::zone_events() {
    return SERVICE_NAME + ":zone_events";
}

std::string external_storage::branches::zone_events_set() {
    return zone_events() + ":set";
}

std::string external_storage::branches::zone_events_uid(const std::string& _uid) {
    return zone_events() + ":" + _uid;
}

std::string external_storage::branches::zone_events_uid_fields(const std::string& _uid) {
    return zone_events_uid(_uid) + ":fields";
}

external_storage::external_storage(context::context& _context,
                                   libs::core::redis::context& _redis_context,
                                   libs::core::timers_manager& _timers, libs::core::logger& _logger)
    : m_redis_context(_redis_context)
    , m_context(_context)
    , m_zone_events_subscription_handle(_context.get_zone_events().subscribe(*this))
    , m_logger(_logger)
    , m_constants_table(SERVICE_NAME + ":constants") {
    const auto version = m_redis_context.get_from_table(m_constants_table, "version")->execute();
    if (!version.try_string_view()) {
        clear_branch(m_redis_context, SERVICE_NAME);
    } else {
        clear_branch(m_redis_context, branches::zone_events());
    }
    write_version();

    const auto now = libs::core::timestamp::current_time();
    _context.get_zone_events().for_each([&](const context::zone_event& _event) {
        m_logger.execute(CORE_SOURCE_LOCATION, [&] { after_creating(_event, now); });
        return true;
    });

    m_stale_check = _timers.create_periodic_timer(
        STALE_CHECK_PERIOD, "zone event mirror check",
        [this](libs::core::timer::time_point) {
            if (m_stale) {
                resynchronize();
            }
        },
        CORE_SOURCE_LOCATION);
}

void external_storage::after_creating(const context::zone_event& _event,
                                      libs::core::timestamp _ts) {
    change(action::CREATE, _event, _ts);
}

void external_storage::after_updating(const context::zone_event& _event,
                                      libs::core::timestamp _ts) {
    change(action::UPDATE, _event, _ts);
}

void external_storage::before_deleting(const context::zone_event& _event,
                                       libs::core::timestamp _ts) {
    change(action::DELETE, _event, _ts);
}

void external_storage::change(action _action, const context::zone_event& _event,
                              const libs::core::timestamp& _ts) {
    if (m_stale && !resynchronize()) {
        return;
    }
    try {
        write(_action, _event, _ts);
    } catch (...) {
        m_logger.error("Zone event mirror failed, it is rewritten once Redis answers: %1%") %
            libs::core::exception_to_string();
        m_stale = true;
    }
}

void external_storage::write(action _action, const context::zone_event& _event,
                             const libs::core::timestamp& _ts) {
    const auto fields_table = branches::zone_events_uid_fields(_event.get_uid());
    if (_action == action::DELETE) {
        m_redis_context.del(fields_table)->execute();
        m_redis_context.remove_from_set(branches::zone_events_set(), _event.get_uid())->execute();
        return;
    }
    auto fields = m_redis_context.set_to_table_multi(fields_table);
    fields->add_argument("uid").add_argument(_event.get_uid());
    fields->add_argument("obj_uid").add_argument(_event.get_obj_uid());
    fields->add_argument("zone_uid").add_argument(_event.get_zone_uid());
    fields->add_argument("zone_type").add_argument(_event.get_zone_type());
    fields->add_argument(_action == action::CREATE ? "create_time" : "update_time")
        .add_argument(iso_time(_ts));
    const auto reply = fields->execute();
    CORE_CHECK(reply.as_string_view() == "OK");
    m_redis_context.add_to_set(branches::zone_events_set(), _event.get_uid())->execute();
}

void external_storage::write_version() {
    // The reply is not waited for.
    m_redis_context.set_to_table(m_constants_table, "version", VERSION)->execute_async();
}

bool external_storage::resynchronize() {
    std::size_t written = 0;
    try {
        clear_branch(m_redis_context, branches::zone_events());
        m_context.get_zone_events().for_each([&](const context::zone_event& _event) {
            write(action::CREATE, _event, _event.get_ts());
            ++written;
            return true;
        });
        // On the blocking connection, which connects again after a loss; the other one does not.
        m_redis_context.set_to_table(m_constants_table, "version", VERSION)->execute();
    } catch (...) {
        m_logger.error("Zone event mirror still failing: %1%") % libs::core::exception_to_string();
        return false;
    }
    m_stale = false;
    m_logger.info("Zone event mirror rewritten from %1% zone events") % written;
    return true;
}

} // namespace nkp
