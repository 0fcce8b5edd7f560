#pragma once

#include <zmq.hpp>

#include <chrono>
#include <string>
#include <string_view>

namespace nkp::test_support {

// The message proxy's output: an XPUB socket on a free loopback port. It sees subscriptions
// arrive, so a test can publish once a subscriber is known to listen.
class proxy {
public:
    proxy();

    const std::string& endpoint() const { return m_endpoint; }
    // True once a subscription to the topic arrived before the timeout.
    bool wait_for_subscription(std::string_view _topic, std::chrono::milliseconds _timeout);
    // One single-part message.
    void publish(std::string_view _message);

private:
    zmq::context_t m_context;
    zmq::socket_t m_socket;
    std::string m_endpoint;
};

} // namespace nkp::test_support
