#pragma once

#include <zmq.hpp>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace nkp::test_support {

// The debug socket's collector: a PULL socket bound to a free loopback port.
class log_collector {
public:
    log_collector();

    // The endpoint to give the logger, e.g. "tcp://127.0.0.1:43121".
    const std::string& endpoint() const { return m_endpoint; }
    // The next line, or nothing when none arrives before the timeout.
    std::optional<std::string> receive(std::chrono::milliseconds _timeout);
    // Lines received until one contains the text (that one included), or the timeout.
    std::vector<std::string> receive_until(const std::string& _text,
                                           std::chrono::milliseconds _timeout);

private:
    zmq::context_t m_context;
    zmq::socket_t m_socket;
    std::string m_endpoint;
};

} // namespace nkp::test_support
