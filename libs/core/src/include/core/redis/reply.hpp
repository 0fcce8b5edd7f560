#pragma once

#include "core/redis/reply_type.hpp"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct redisReply;

namespace nkp::libs::core::redis {

class reply_array;

// A view of one node of a reply; lives as long as the reply that owns it.
class reply_element {
public:
    explicit reply_element(const redisReply& _reply)
        : m_reply(&_reply) {}
    virtual ~reply_element() = default;

    reply_type get_type() const;
    // The text of a STRING, STATUS or ERROR node.
    std::optional<std::string_view> try_string_view() const;
    // Throws exception "Reply is not string, actual type: <type>".
    std::string_view as_string_view() const;
    std::string to_string() const { return std::string(as_string_view()); }
    // Throws exception "Reply is not array, actual type: <type>".
    reply_array as_array() const;
    long long to_long_long() const;
    int to_int() const;

protected:
    reply_element() = default;
    const redisReply* m_reply = nullptr;
};

class reply_array {
public:
    reply_array(redisReply* const* _data, std::size_t _size)
        : m_data(_data)
        , m_size(_size) {}

    std::size_t size() const { return m_size; }
    // Throws exception "Index out of range".
    reply_element operator[](std::size_t _index) const;
    // In order; interrupted as soon as the callback returns false.
    iteration_result
    for_each_element(const std::function<bool(const reply_element&)>& _callback) const;

private:
    redisReply* const* m_data;
    std::size_t m_size;
};

// Owns a whole reply tree.
class reply final : public reply_element {
public:
    // Takes the protocol library's reply over.
    explicit reply(redisReply* _reply);
    reply(reply&& _other) noexcept;
    reply& operator=(reply&& _other) noexcept;
    reply(const reply&) = delete;
    reply& operator=(const reply&) = delete;
    ~reply() override;

    // A reply of type NIL, for a command that ended without one.
    static reply nil();

private:
    struct release {
        void operator()(redisReply* _reply) const;
    };
    std::unique_ptr<redisReply, release> m_owned;
};

} // namespace nkp::libs::core::redis
