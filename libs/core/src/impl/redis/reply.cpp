#include "core/redis/reply.hpp"

#include "core/exception.hpp"

#include <hiredis/hiredis.h>

#include <cstdlib>

namespace nkp::libs::core::redis {

const char* to_string(reply_type _type) {
    switch (_type) {
    case reply_type::STRING:
        return "string";
    case reply_type::ARRAY:
        return "array";
    case reply_type::INTEGER:
        return "integer";
    case reply_type::NIL:
        return "nil";
    case reply_type::STATUS:
        return "status";
    case reply_type::ERROR:
        return "error";
    case reply_type::_count:
        break;
    }
    throw exception("Unknown enumeration value", CORE_SOURCE_LOCATION);
}

reply_type reply_element::get_type() const {
    return static_cast<reply_type>(m_reply->type);
}

std::optional<std::string_view> reply_element::try_string_view() const {
    switch (get_type()) {
    case reply_type::STRING:
    case reply_type::STATUS:
    case reply_type::ERROR:
        return std::string_view(m_reply->str, m_reply->len);
    default:
        return std::nullopt;
    }
}

std::string_view reply_element::as_string_view() const {
    const auto text = try_string_view();
    if (!text) {
        throw exception(std::string("Reply is not string, actual type: ") +
                            redis::to_string(get_type()),
                        CORE_SOURCE_LOCATION);
    }
    return *text;
}

reply_array reply_element::as_array() const {
    if (get_type() != reply_type::ARRAY) {
        throw exception(std::string("Reply is not array, actual type: ") +
                            redis::to_string(get_type()),
                        CORE_SOURCE_LOCATION);
    }
    return reply_array(m_reply->element, m_reply->elements);
}

long long reply_element::to_long_long() const {
    if (get_type() == reply_type::INTEGER) {
        return m_reply->integer;
    }
    return std::stoll(std::string(as_string_view()));
}

int reply_element::to_int() const {
    return static_cast<int>(to_long_long());
}

reply_element reply_array::operator[](std::size_t _index) const {
    if (_index >= m_size) {
        throw exception("Index out of range", CORE_SOURCE_LOCATION);
    }
    return reply_element(*m_data[_index]);
}

iteration_result
reply_array::for_each_element(const std::function<bool(const reply_element&)>& _callback) const {
    for (std::size_t i = 0; i < m_size; ++i) {
        if (!_callback(reply_element(*m_data[i]))) {
            return iteration_result::interrupted;
        }
    }
    return iteration_result::finished;
}

void reply::release::operator()(redisReply* _reply) const {
    freeReplyObject(_reply);
}

reply::reply(redisReply* _reply)
    : m_owned(_reply) {
    m_reply = m_owned.get();
}

reply::reply(reply&& _other) noexcept
    : m_owned(std::move(_other.m_owned)) {
    m_reply = m_owned.get();
    _other.m_reply = nullptr;
}

reply& reply::operator=(reply&& _other) noexcept {
    m_owned = std::move(_other.m_owned);
    m_reply = m_owned.get();
    _other.m_reply = nullptr;
    return *this;
}

reply::~reply() = default;

reply reply::nil() {
    auto* node = static_cast<redisReply*>(std::calloc(1, sizeof(redisReply)));
    if (node == nullptr) {
        throw std::bad_alloc();
    }
    node->type = REDIS_REPLY_NIL;
    return reply(node);
}

} // namespace nkp::libs::core::redis
