#pragma once

#include "core/zmq/socket.hpp"

#include <boost/asio/io_context.hpp>
#include <boost/system/error_code.hpp>

#include <functional>
#include <memory>
#include <string>

namespace nkp::libs::core::zmq {

// Error codes of the ZeroMQ library, with its own texts.
const boost::system::error_category& error_category();

// A ZeroMQ socket whose receives are driven by the readiness of its ZMQ_FD on an
// io_context. Used on the thread that runs the io_context only.
class asio_socket {
public:
    using receive_handler = std::function<void(const boost::system::error_code&, message&)>;

    // _type is a ZeroMQ socket type (ZMQ_SUB, ZMQ_PUSH, ...); throws on an invalid one.
    asio_socket(boost::asio::io_context& _io_context, int _type);
    // A pending receive is dropped: its handler is never called.
    ~asio_socket();
    asio_socket(const asio_socket&) = delete;
    asio_socket& operator=(const asio_socket&) = delete;

    void connect(const std::string& _address, boost::system::error_code& _error);
    void bind(const std::string& _address, boost::system::error_code& _error);
    void set_option(int _option, const void* _value, std::size_t _size,
                    boost::system::error_code& _error);

    // Receives one part. The handler runs on the io_context, never inside this call, and
    // only while the socket lives. One receive at a time.
    void async_receive(receive_handler _handler);
    // A pending receive completes with operation_aborted.
    void cancel(boost::system::error_code& _error);

    // ZeroMQ flags (ZMQ_DONTWAIT, ZMQ_SNDMORE); false with the error set when it fails, EAGAIN
    // included.
    bool send(message& _message, int _flags, boost::system::error_code& _error);
    bool receive(message& _message, int _flags, boost::system::error_code& _error);

private:
    struct state;
    static void try_receive(const std::shared_ptr<state>& _state);
    static void deliver(const std::shared_ptr<state>& _state, boost::system::error_code _error,
                        message _message);
    // A send or a blocking receive may take the descriptor's edge that announces input, so
    // the pending receive looks again.
    void recheck_input();

    std::shared_ptr<state> m_state;
};

} // namespace nkp::libs::core::zmq
