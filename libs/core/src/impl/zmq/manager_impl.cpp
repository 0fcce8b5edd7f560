#include "manager_impl.hpp"

#include "socket_impl.hpp"

namespace nkp::libs::core::zmq {

socket::ptr manager_impl::connect(socket::type _type, std::string _address) {
    return socket_impl::connect(_type, m_io_context, m_logger, std::move(_address));
}

socket::ptr manager_impl::bind(socket::type _type, std::string _address) {
    return socket_impl::bind(_type, m_io_context, m_logger, std::move(_address));
}

} // namespace nkp::libs::core::zmq
