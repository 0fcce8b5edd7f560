#include "test_support/device_simulator.hpp"

#include <jsoncpp/json/reader.h>

#include <memory>

namespace nkp::test_support {

std::vector<std::pair<std::string, std::string>> device_simulator::take_posted() {
    const auto requests = m_server.requests();
    std::vector<std::pair<std::string, std::string>> posted;
    for (; m_seen < requests.size(); ++m_seen) {
        const auto& request = requests[m_seen];
        if (request.method != "POST" || request.path != "/api/v2/private/user_msg/") {
            continue;
        }
        Json::Value body;
        Json::CharReaderBuilder builder;
        const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        if (reader->parse(request.body.data(), request.body.data() + request.body.size(), &body,
                          nullptr)) {
            posted.emplace_back(body["uid"].asString(), body["data"]["hex"].asString());
        }
    }
    return posted;
}

std::string device_simulator::acknowledgement(const std::string& _uid, const std::string& _hex) {
    // The acknowledgement repeats the sequence number, the fifth byte.
    return R"(#user_msg {"hex": "05000002)" + _hex.substr(8, 2) + R"(00", "dev_id": ")" + _uid +
           R"(", "mac": "00:11", "ts": 1700000000, "ms": 0})";
}

std::vector<std::string> device_simulator::acknowledge_new() {
    std::vector<std::string> posted;
    for (const auto& [uid, hex] : take_posted()) {
        posted.push_back(uid + " " + hex);
        if (m_acknowledging && hex.size() >= 10) {
            m_proxy.publish(acknowledgement(uid, hex));
            ++m_acknowledged;
        }
    }
    return posted;
}

void device_simulator::set_behaviour(double _loss_share, std::chrono::milliseconds _max_delay,
                                     unsigned _seed) {
    m_loss_share = _loss_share;
    m_max_delay = _max_delay;
    m_random.seed(_seed);
}

std::vector<std::string> device_simulator::poll(std::chrono::steady_clock::time_point _now) {
    std::vector<std::string> posted;
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    for (const auto& [uid, hex] : take_posted()) {
        posted.push_back(uid + " " + hex);
        if (!m_acknowledging || hex.size() < 10 || chance(m_random) < m_loss_share) {
            continue;
        }
        const auto delay = std::chrono::milliseconds(
            static_cast<long>(chance(m_random) * static_cast<double>(m_max_delay.count())));
        m_pending.push_back({_now + delay, acknowledgement(uid, hex)});
    }
    std::erase_if(m_pending, [&](const pending_ack& _ack) {
        if (_ack.due > _now) {
            return false;
        }
        m_proxy.publish(_ack.message);
        ++m_acknowledged;
        return true;
    });
    return posted;
}

} // namespace nkp::test_support
