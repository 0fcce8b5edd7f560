#pragma once

#include "test_support/fake_rest_server.hpp"
#include "test_support/proxy.hpp"

#include <chrono>
#include <random>
#include <set>
#include <string>
#include <utility>
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

    // Like real devices: each acknowledgement comes after a random delay up to _max_delay,
    // and a share of them is lost.
    void set_behaviour(double _loss_share, std::chrono::milliseconds _max_delay, unsigned _seed);
    // Takes in what was posted and publishes the acknowledgements now due; returns what was
    // posted since the last call.
    std::vector<std::string> poll(std::chrono::steady_clock::time_point _now);
    // Acknowledgements published so far.
    long acknowledged() const { return m_acknowledged; }

private:
    struct pending_ack {
        std::chrono::steady_clock::time_point due;
        std::string message;
    };
    static std::string acknowledgement(const std::string& _uid, const std::string& _hex);
    // The posted device messages since the last call, as (uid, hex).
    std::vector<std::pair<std::string, std::string>> take_posted();

    double m_loss_share = 0;
    std::chrono::milliseconds m_max_delay{0};
    std::mt19937 m_random;
    std::vector<pending_ack> m_pending;
    long m_acknowledged = 0;

    const fake_rest_server& m_server;
    proxy& m_proxy;
    std::size_t m_seen = 0;
    bool m_acknowledging = true;
};

} // namespace nkp::test_support
