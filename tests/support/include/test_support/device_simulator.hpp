#pragma once

#include "test_support/fake_rest_server.hpp"
#include "test_support/proxy.hpp"

#include <set>
#include <string>
#include <vector>

namespace nkp::test_support {

// The devices: each set or clear event posted to the REST server is acknowledged by
// publishing the device's "user_msg" on the proxy, unless acknowledging is switched off.
class device_simulator {
public:
    device_simulator(const fake_rest_server& _server, proxy& _proxy)
        : m_server(_server)
        , m_proxy(_proxy) {}

    // Acknowledges the device messages posted since the last call; returns them as
    // "<uid> <hex>".
    std::vector<std::string> acknowledge_new();
    void set_acknowledging(bool _acknowledging) { m_acknowledging = _acknowledging; }

private:
    const fake_rest_server& m_server;
    proxy& m_proxy;
    std::size_t m_seen = 0;
    bool m_acknowledging = true;
};

} // namespace nkp::test_support
