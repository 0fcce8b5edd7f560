#pragma once

#include "core/zmq/socket.hpp"

#include <string>

namespace nkp::libs::core::zmq {

// Makes ZeroMQ sockets on one events loop. Throws exception naming the address when the
// endpoint cannot be connected or bound.
class manager {
public:
    virtual ~manager() = default;

    virtual socket::ptr connect(socket::type _type, std::string _address) = 0;
    // Accepts ZeroMQ's dynamic port forms, e.g. "tcp://127.0.0.1:*".
    virtual socket::ptr bind(socket::type _type, std::string _address) = 0;
};

} // namespace nkp::libs::core::zmq
