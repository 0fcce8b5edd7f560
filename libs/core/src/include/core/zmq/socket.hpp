#pragma once

#include <zmq.hpp>

#include <functional>
#include <memory>

namespace nkp::libs::core::zmq {

// One message part.
using message = ::zmq::message_t;

enum class flags : int { none = 0, sndmore = ZMQ_SNDMORE };

// An asynchronous ZeroMQ socket on an events loop; used on the loop's thread only.
class socket {
public:
    using ptr = std::unique_ptr<socket>;
    using callback = std::function<void(message&)>;
    enum class type { push = 0, pull = 1, pub = 2, req = 3, rep = 4 };

    virtual ~socket() = default;

    // The first call starts receiving; later calls replace the callback. The callback may
    // destroy the socket.
    virtual void set_receive_callback(callback _callback) = 0;
    // Blocking sends; errors are thrown as boost::system::system_error.
    virtual void send(message _message) = 0;
    virtual void send(message _message, flags _flags) = 0;
    // Non-blocking sends: false when the message cannot be queued at once.
    virtual bool try_send(message _message) = 0;
    virtual bool try_send(message _message, flags _flags) = 0;
    // Blocking receive of the next part, for callbacks reading a multi-part message.
    virtual message receive_more() = 0;
};

} // namespace nkp::libs::core::zmq
