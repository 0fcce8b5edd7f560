#include "test_support/proxy.hpp"

namespace nkp::test_support {

proxy::proxy()
    : m_socket(m_context, zmq::socket_type::xpub) {
    m_socket.set(zmq::sockopt::linger, 0);
    // Every subscription is reported, also a repeated one.
    m_socket.set(zmq::sockopt::xpub_verbose, 1);
    // A burst must not be dropped at the high-water mark.
    m_socket.set(zmq::sockopt::sndhwm, 0);
    m_socket.bind("tcp://127.0.0.1:*");
    m_endpoint = m_socket.get(zmq::sockopt::last_endpoint);
}

bool proxy::wait_for_subscription(std::string_view _topic, std::chrono::milliseconds _timeout) {
    const auto deadline = std::chrono::steady_clock::now() + _timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        zmq::pollitem_t item{m_socket.handle(), 0, ZMQ_POLLIN, 0};
        if (zmq::poll(&item, 1, left) <= 0) {
            continue;
        }
        zmq::message_t message;
        if (!m_socket.recv(message, zmq::recv_flags::dontwait)) {
            continue;
        }
        const auto text = message.to_string_view();
        if (!text.empty() && text.front() == '\x01' && text.substr(1) == _topic) {
            return true;
        }
    }
}

void proxy::publish(std::string_view _message) {
    m_socket.send(zmq::buffer(_message), zmq::send_flags::none);
}

} // namespace nkp::test_support
