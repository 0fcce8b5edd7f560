#pragma once

#include <jsoncpp/json/value.h>

#include <utility>

namespace nkp::libs::context_utils {

// One JSON value in one of its roles, so the roles cannot be mixed up.
template <class Tag>
class json_template {
public:
    explicit json_template(Json::Value _value)
        : m_value(std::move(_value)) {}

    const Json::Value& get_json() const& { return m_value; }
    Json::Value get_json() && { return std::move(m_value); }

private:
    Json::Value m_value;
};

struct _json_object_tag {};
struct _json_notify_tag {};
struct _json_answer_tag {};

// One object as the REST server lists it.
using json_object = json_template<_json_object_tag>;
// A whole "notify" or "pos" message.
using json_notify = json_template<_json_notify_tag>;
// A whole REST answer.
using json_answer = json_template<_json_answer_tag>;

} // namespace nkp::libs::context_utils
