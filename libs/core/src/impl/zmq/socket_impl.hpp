#pragma once

#include "asio_socket.hpp"
#include "core/logger.hpp"
#include "core/zmq/socket.hpp"

#include <boost/asio/io_context.hpp>

#include <memory>
#include <string>

namespace nkp::libs::core::zmq {

class socket_impl final : public socket {
public:
    static socket::ptr connect(type _type, boost::asio::io_context& _io_context,
                               const component_logger& _logger, std::string _address);
    static socket::ptr bind(type _type, boost::asio::io_context& _io_context,
                            const component_logger& _logger, std::string _address);

    socket_impl(type _type, boost::asio::io_context& _io_context, const component_logger& _logger);
    ~socket_impl() override;

    // socket
    void set_receive_callback(callback _callback) override;
    void send(message _message) override { send(std::move(_message), flags::none); }
    void send(message _message, flags _flags) override;
    bool try_send(message _message) override { return try_send(std::move(_message), flags::none); }
    bool try_send(message _message, flags _flags) override;
    message receive_more() override;

private:
    // What a receive handler reaches through its own reference.
    struct shared_data {
        bool m_socket_alive = true;
        callback m_receive_callback;
    };

    using attach_function = void (asio_socket::*)(const std::string&, boost::system::error_code&);
    // Connects or binds a new socket; a failure throws "<_failure><address>: <reason>".
    static socket::ptr create(type _type, boost::asio::io_context& _io_context,
                              const component_logger& _logger, const std::string& _address,
                              attach_function _attach, const char* _failure,
                              const source_location& _loc);
    void setup_receive();

    asio_socket m_socket;
    const component_logger& m_logger;
    std::shared_ptr<shared_data> m_data;
};

} // namespace nkp::libs::core::zmq
