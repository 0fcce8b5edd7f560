#pragma once

#include "core/async_operation_handle.hpp"
#include "core/redis/reply.hpp"

#include <memory>
#include <string>

namespace nkp::libs::core::redis {

// One Redis command; its arguments may hold any bytes. It can be run more than once.
class command {
public:
    using ptr = std::unique_ptr<command>;

    virtual ~command() = default;

    virtual command& add_argument(std::string _argument) = 0;
    // On the synchronous connection, blocking; an error reply throws
    // "Command: <name>, error: <text>".
    virtual reply execute() = 0;
    // On the asynchronous connection; an error reply is delivered as an ERROR reply, a
    // command without a reply as a NIL one.
    virtual async_operation_handle<reply>::ptr execute_async() = 0;
};

} // namespace nkp::libs::core::redis
