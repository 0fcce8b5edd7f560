#pragma once

#include "core/timestamp.hpp"

#include <string>

namespace nkp::context {

// One object's presence in one zone.
class zone_event {
public:
    // Note the order: the zone type comes before the zone id.
    zone_event(std::string _uid, libs::core::timestamp _ts, std::string _obj_uid,
               std::string _zone_uid, std::string _zone_type, unsigned int _zone_id)
        : m_uid(std::move(_uid))
        , m_ts(_ts)
        , m_obj_uid(std::move(_obj_uid))
        , m_zone_uid(std::move(_zone_uid))
        , m_zone_id(_zone_id)
        , m_zone_type(std::move(_zone_type)) {}

    // "<object uid>:<zone uid>", unescaped.
    static std::string make_uid(const std::string& _tr_object_uid, const std::string& _zone_uid) {
        return _tr_object_uid + ":" + _zone_uid;
    }

    // The repository key; changing the object or zone uid leaves it as it is.
    const std::string& get_uid() const { return m_uid; }
    libs::core::timestamp get_ts() const { return m_ts; }
    void set_ts(libs::core::timestamp _ts) { m_ts = _ts; }
    const std::string& get_obj_uid() const { return m_obj_uid; }
    void set_obj_uid(std::string _obj_uid) { m_obj_uid = std::move(_obj_uid); }
    const std::string& get_zone_uid() const { return m_zone_uid; }
    void set_zone_uid(std::string _zone_uid) { m_zone_uid = std::move(_zone_uid); }
    const std::string& get_zone_type() const { return m_zone_type; }
    void set_zone_type(std::string _zone_type) { m_zone_type = std::move(_zone_type); }
    // 0 when the zone has no id.
    unsigned int get_zone_id() const { return m_zone_id; }
    void set_zone_id(unsigned int _zone_id) { m_zone_id = _zone_id; }

private:
    std::string m_uid;
    libs::core::timestamp m_ts;
    std::string m_obj_uid;
    std::string m_zone_uid;
    unsigned int m_zone_id;
    std::string m_zone_type;
};

} // namespace nkp::context
