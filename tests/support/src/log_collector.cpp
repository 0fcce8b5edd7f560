#include "test_support/log_collector.hpp"

namespace nkp::test_support {

log_collector::log_collector()
    : m_socket(m_context, zmq::socket_type::pull) {
    m_socket.set(zmq::sockopt::linger, 0);
    m_socket.bind("tcp://127.0.0.1:*");
    m_endpoint = m_socket.get(zmq::sockopt::last_endpoint);
}

std::optional<std::string> log_collector::receive(std::chrono::milliseconds _timeout) {
    zmq::pollitem_t item{m_socket.handle(), 0, ZMQ_POLLIN, 0};
    if (zmq::poll(&item, 1, _timeout) <= 0) {
        return std::nullopt;
    }
    zmq::message_t message;
    if (!m_socket.recv(message, zmq::recv_flags::dontwait)) {
        return std::nullopt;
    }
    return message.to_string();
}

std::vector<std::string> log_collector::receive_until(const std::string& _text,
                                                      std::chrono::milliseconds _timeout) {
    const auto deadline = std::chrono::steady_clock::now() + _timeout;
    std::vector<std::string> lines;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return lines;
        }
        auto line = receive(left);
        if (!line) {
            return lines;
        }
        lines.push_back(*line);
        if (line->find(_text) != std::string::npos) {
            return lines;
        }
    }
}

} // namespace nkp::test_support
