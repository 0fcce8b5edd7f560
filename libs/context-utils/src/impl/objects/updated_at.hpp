#pragma once

#include "context_utils/lazy_value.hpp"

#include <jsoncpp/json/value.h>

#include <optional>

namespace nkp::libs::context_utils::objects {

// When an object changed: "updated_at" of a REST element, or "ts" and "ms" of the message
// it came in, whose own "updated_at" is not read.
struct updated_at {
    lazy_value<uint_value> m_ts;
    lazy_value<uint_value> m_ms;
    lazy_value<timestamp_value> m_updated_at;

    core::timestamp get(const Json::Value& _json, const std::optional<Json::Value>& _notify) const {
        if (!_notify) {
            return m_updated_at.get(_json, "updated_at");
        }
        return core::timestamp(m_ts.get(*_notify, "ts"), m_ms.get(*_notify, "ms"));
    }
};

} // namespace nkp::libs::context_utils::objects
