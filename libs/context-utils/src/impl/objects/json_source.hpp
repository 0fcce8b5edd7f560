#pragma once

#include "context_utils/lazy_value.hpp"
#include "json_value.hpp"

#include <jsoncpp/json/value.h>

#include <optional>

namespace nkp::libs::context_utils::objects {

// The JSON an object view reads: a REST element, or the "plist" of a "notify" message kept
// with the whole message. Nested views keep references into it, so it never moves.
class json_source {
protected:
    explicit json_source(const json_object& _json)
        : m_json_value(_json.get_json()) {}
    explicit json_source(const json_notify& _json)
        : m_json_value(_json.get_json()["plist"])
        , m_json_notify(_json.get_json()) {}
    json_source(const json_source&) = delete;
    json_source& operator=(const json_source&) = delete;

    // "updated_at" of a REST element; "ts" and "ms" of the message, whose object's own
    // "updated_at" is not read.
    core::timestamp updated_at() const {
        if (!m_json_notify) {
            return m_updated_at.get(m_json_value, "updated_at");
        }
        return core::timestamp(m_ts.get(*m_json_notify, "ts"), m_ms.get(*m_json_notify, "ms"));
    }

    Json::Value m_json_value;
    std::optional<Json::Value> m_json_notify;

private:
    lazy_value<uint_value> m_ts;
    lazy_value<uint_value> m_ms;
    lazy_value<timestamp_value> m_updated_at;
};

// A nested view: a reference to its object inside the owner's JSON.
class json_part {
protected:
    explicit json_part(const Json::Value& _json)
        : m_json_value(_json) {}

    const Json::Value& m_json_value;
};

} // namespace nkp::libs::context_utils::objects
