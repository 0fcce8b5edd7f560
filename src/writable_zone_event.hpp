#pragma once

#include "core/periodic_timer.hpp"
#include "core/timestamp.hpp"

#include <cstdint>
#include <string>

namespace nkp {

// The delivery record of one object in one zone. Its timer's handler refers to it in place,
// so it never moves while it has a timer.
class writable_zone_event {
public:
    enum class sending_status_t : std::int32_t {
        NORM = 0,
        ALARM = 1,
        ALARM_SENT = 2,
        ALARM_ACKED = 3,
        CLEAR = 4,
        CLEAR_SENT = 5
    };

    writable_zone_event(std::string _uid, std::string _obj_uid, unsigned int _zone_id)
        : m_uid(std::move(_uid))
        , m_obj_uid(std::move(_obj_uid))
        , m_zone_id(_zone_id) {}
    writable_zone_event(writable_zone_event&&) = default;
    writable_zone_event(const writable_zone_event&) = delete;
    writable_zone_event& operator=(const writable_zone_event&) = delete;

    const std::string& get_uid() const { return m_uid; }
    // The device identity.
    const std::string& get_obj_uid() const { return m_obj_uid; }
    unsigned int get_zone_id() const { return m_zone_id; }
    writable_zone_event& set_zone_id(unsigned int _zone_id) {
        m_zone_id = _zone_id;
        return *this;
    }
    libs::core::timestamp get_sending_time() const { return m_sending_time; }
    writable_zone_event& set_sending_time(libs::core::timestamp _time) {
        m_sending_time = _time;
        return *this;
    }
    sending_status_t get_status() const { return m_sending_status; }
    writable_zone_event& set_status(sending_status_t _status) {
        m_sending_status = _status;
        return *this;
    }
    unsigned int get_attempt_counter() const { return m_attempt_counter; }
    writable_zone_event& set_attempt_counter(unsigned int _counter) {
        m_attempt_counter = _counter;
        return *this;
    }
    unsigned int increase_attempt_counter() { return ++m_attempt_counter; }
    unsigned int get_seq_no() const { return m_seq_no; }
    writable_zone_event& set_seq_no(unsigned int _seq_no) {
        m_seq_no = _seq_no;
        return *this;
    }
    // Destroys, and so cancels, the previous timer.
    writable_zone_event& set_timer(libs::core::periodic_timer::ptr _timer) {
        m_timer = std::move(_timer);
        return *this;
    }
    writable_zone_event& restart_timer() {
        if (m_timer) {
            m_timer->restart();
        }
        return *this;
    }
    writable_zone_event& stop_timer() {
        if (m_timer) {
            m_timer->stop();
        }
        return *this;
    }
    // The object left; the record stays only to deliver a clear event.
    bool get_deleted() const { return m_deleted; }
    writable_zone_event& set_deleted(bool _deleted) {
        m_deleted = _deleted;
        return *this;
    }

private:
    const std::string m_uid;
    const std::string m_obj_uid;
    unsigned int m_zone_id;
    bool m_deleted = false;
    libs::core::timestamp m_sending_time;
    sending_status_t m_sending_status = sending_status_t::NORM;
    unsigned int m_attempt_counter = 0;
    unsigned int m_seq_no = 0;
    libs::core::periodic_timer::ptr m_timer;
};

} // namespace nkp
