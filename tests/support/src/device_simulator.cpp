#include "test_support/device_simulator.hpp"

#include <jsoncpp/json/reader.h>

#include <memory>

namespace nkp::test_support {

std::vector<std::string> device_simulator::acknowledge_new() {
    const auto requests = m_server.requests();
    std::vector<std::string> posted;
    for (; m_seen < requests.size(); ++m_seen) {
        const auto& request = requests[m_seen];
        if (request.method != "POST" || request.path != "/api/v2/private/user_msg/") {
            continue;
        }
        Json::Value body;
        Json::CharReaderBuilder builder;
        const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        if (!reader->parse(request.body.data(), request.body.data() + request.body.size(), &body,
                           nullptr)) {
            continue;
        }
        const auto uid = body["uid"].asString();
        const auto hex = body["data"]["hex"].asString();
        posted.push_back(uid + " " + hex);
        if (!m_acknowledging || hex.size() < 10) {
            continue;
        }
        // The acknowledgement repeats the sequence number, the fifth byte.
        m_proxy.publish(R"(#user_msg {"hex": "05000002)" + hex.substr(8, 2) +
                        R"(00", "dev_id": ")" + uid +
                        R"(", "mac": "00:11", "ts": 1700000000, "ms": 0})");
    }
    return posted;
}

} // namespace nkp::test_support
