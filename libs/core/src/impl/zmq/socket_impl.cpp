#include "socket_impl.hpp"

#include "core/exception.hpp"
#include "core/scope_guard.hpp"

#include <boost/system/system_error.hpp>

namespace nkp::libs::core::zmq {

namespace {

int to_zmq_type(socket::type _type) {
    switch (_type) {
    case socket::type::push:
        return ZMQ_PUSH;
    case socket::type::pull:
        return ZMQ_PULL;
    case socket::type::pub:
        return ZMQ_PUB;
    case socket::type::req:
        return ZMQ_REQ;
    case socket::type::rep:
        return ZMQ_REP;
    }
    return -1;
}

} // namespace

socket_impl::socket_impl(type _type, boost::asio::io_context& _io_context,
                         const component_logger& _logger)
    : m_socket(_io_context, to_zmq_type(_type))
    , m_logger(_logger)
    , m_data(std::make_shared<shared_data>()) {}

socket::ptr socket_impl::connect(type _type, boost::asio::io_context& _io_context,
                                 const component_logger& _logger, std::string _address) {
    return create(_type, _io_context, _logger, _address, &asio_socket::connect,
                  "zmq::socket_impl::connect to ", CORE_SOURCE_LOCATION);
}

socket::ptr socket_impl::bind(type _type, boost::asio::io_context& _io_context,
                              const component_logger& _logger, std::string _address) {
    return create(_type, _io_context, _logger, _address, &asio_socket::bind,
                  "zmq::socket_impl::bind to ", CORE_SOURCE_LOCATION);
}

socket::ptr socket_impl::create(type _type, boost::asio::io_context& _io_context,
                                const component_logger& _logger, const std::string& _address,
                                attach_function _attach, const char* _failure,
                                const source_location& _loc) {
    auto created = std::make_unique<socket_impl>(_type, _io_context, _logger);
    boost::system::error_code error;
    (created->m_socket.*_attach)(_address, error);
    if (error) {
        throw exception(_failure + _address + ": " + error.message(), _loc);
    }
    return created;
}

socket_impl::~socket_impl() {
    m_data->m_socket_alive = false;
    boost::system::error_code error;
    m_socket.cancel(error);
    if (error) {
        m_logger.log_error(error, CORE_SOURCE_LOCATION);
    }
    m_data.reset();
}

void socket_impl::set_receive_callback(callback _callback) {
    const bool first = !m_data->m_receive_callback;
    m_data->m_receive_callback = std::move(_callback);
    if (first) {
        setup_receive();
    }
}

void socket_impl::setup_receive() {
    m_socket.async_receive(
        [data = m_data, this](const boost::system::error_code& _error, message& _message) {
            if (!data->m_socket_alive || _error) {
                return;
            }
            // Whatever way the callback leaves, even by an exception or by destroying this
            // socket, the next receive starts only while the socket lives.
            const auto next = execute_on_scope_exit([data, this] {
                if (data->m_socket_alive) {
                    setup_receive();
                }
            });
            auto callback = data->m_receive_callback;
            callback(_message);
        });
}

void socket_impl::send(message _message, flags _flags) {
    boost::system::error_code error;
    if (!m_socket.send(_message, static_cast<int>(_flags), error)) {
        throw boost::system::system_error(error, "zmq::socket::send");
    }
}

bool socket_impl::try_send(message _message, flags _flags) {
    boost::system::error_code error;
    if (m_socket.send(_message, static_cast<int>(_flags) | ZMQ_DONTWAIT, error)) {
        return true;
    }
    if (error.value() == EAGAIN) {
        return false;
    }
    throw boost::system::system_error(error, "zmq::socket::try_send");
}

message socket_impl::receive_more() {
    message part;
    boost::system::error_code error;
    if (!m_socket.receive(part, 0, error)) {
        throw boost::system::system_error(error, "zmq::socket::receive_more");
    }
    return part;
}

} // namespace nkp::libs::core::zmq
