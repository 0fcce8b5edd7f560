#pragma once

#include <functional>
#include <memory>
#include <string_view>

namespace nkp::libs::core {

// Topic subscriptions on the message proxy. Everything runs on the loop's thread.
class message_stream {
public:
    using ptr = std::unique_ptr<message_stream>;
    // The view is valid only during the call.
    using callback = std::function<void(std::string_view)>;

    // Keeps its callback registered; once destroyed the callback is never called again,
    // not even for a message already received.
    class subscription {
    public:
        using ptr = std::unique_ptr<subscription>;
        virtual ~subscription() = default;
    };

    virtual ~message_stream() = default;

    // Callbacks of one topic are called in the order they subscribed.
    virtual subscription::ptr subscribe(std::string_view _topic, callback _callback) = 0;
};

} // namespace nkp::libs::core
