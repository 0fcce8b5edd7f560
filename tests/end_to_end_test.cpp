#include "core/json.hpp"
#include "service_config.hpp"

#include "test_support/child_process.hpp"
#include "test_support/device_simulator.hpp"
#include "test_support/fake_rest_server.hpp"
#include "test_support/log_collector.hpp"
#include "test_support/proxy.hpp"
#include "test_support/redis_server.hpp"
#include "test_support/temp_directory.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <thread>

namespace nkp::tests {
namespace {

using namespace std::chrono_literals;
using test_support::child_process;

const std::string ZONES = R"({"zones": [
    {"uid": "z1", "zone_id": 31, "zone_type_name": "room", "updated_at": "2024-03-05T14:07:09.042Z",
     "user_params": {"max_occupancy": 2},
     "trackables_in_zone": [{"uid": "a", "entered": {"x": 1, "y": 2, "z": 0,
                                                      "time": "2024-03-05T14:00:00.000Z"}}]},
    {"uid": "h1", "zone_id": 32, "zone_type_name": "hall", "updated_at": "2024-03-05T14:07:09.042Z",
     "user_params": {"max_occupancy": 0}}
]})";

std::string zone_event(const std::string& _object, const std::string& _zone,
                       const std::string& _action) {
    return R"(#zone_event {"ts": 1700000000, "ms": 0, "obj_uid": ")" + _object +
           R"(", "zone_uid": ")" + _zone + R"(", "zone_type_name": "room", "action": ")" + _action +
           R"("})";
}

// The real service with a real Redis, the REST server, the proxy, the log collector and the
// devices around it.
class end_to_end : public testing::Test {
protected:
    end_to_end(bool _modify_server_state = true) {
        m_server.set_answer("/api/private/zones/", {200, ZONES});
        m_server.set_answer("/api/v2/private/user_msg/", {200, "{}"});
        auto config = valid_config_json();
        config["system"]["pidfile"] = (m_directory.path() / "brimwatch.pid").string();
        config["system"]["debug_port"] = m_collector.endpoint();
        config["proxy"]["output_port"] = m_proxy.endpoint();
        config["server"]["url"] = m_server.address();
        config["redis"]["port"] = m_redis.port();
        config["redis"]["password"] = m_redis.password();
        config["zone_types"] = Json::arrayValue;
        config["zone_types"].append("room");
        config["debug"]["modify_server_state"] = _modify_server_state;
        m_config =
            m_directory.write_file("brimwatch.json", libs::core::json::to_string(config)).string();
    }
    ~end_to_end() override {
        if (m_service) {
            m_service->send_signal(SIGTERM);
            m_service->wait(10s);
        }
    }

    void start() {
        m_service.emplace(BRIMWATCH_BINARY, std::vector<std::string>{"-c", m_config});
        ASSERT_TRUE(m_service->wait_until_catching(SIGTERM, 10s));
    }
    bool logged(const std::string& _text, std::chrono::milliseconds _timeout = 10s) {
        const auto lines = m_collector.receive_until(_text, _timeout);
        return !lines.empty() && lines.back().find(_text) != std::string::npos;
    }
    // Device messages posted until the count is reached, acknowledging each as it comes.
    std::vector<std::string> posted(std::size_t _count, std::chrono::milliseconds _timeout = 10s) {
        std::vector<std::string> all;
        const auto deadline = std::chrono::steady_clock::now() + _timeout;
        while (all.size() < _count && std::chrono::steady_clock::now() < deadline) {
            const auto fresh = m_devices.acknowledge_new();
            all.insert(all.end(), fresh.begin(), fresh.end());
            if (fresh.empty()) {
                m_server.wait_for_requests(m_server.requests().size() + 1, 100ms);
            }
        }
        return all;
    }

    test_support::temp_directory m_directory;
    test_support::log_collector m_collector;
    test_support::proxy m_proxy;
    test_support::fake_rest_server m_server;
    test_support::redis_server m_redis{"pw"};
    test_support::device_simulator m_devices{m_server, m_proxy};
    std::string m_config;
    std::optional<child_process> m_service;
};

TEST_F(end_to_end, alarms_an_overfull_zone_clears_it_and_stops_on_sigterm) {
    start();
    ASSERT_TRUE(logged("called"));
    EXPECT_EQ(m_redis.query({"SMEMBERS", "brimwatch:zone_events:set"}), "a:z1");
    EXPECT_EQ(m_redis.query({"HGET", "brimwatch:constants", "version"}), "1.1.0");
    ASSERT_TRUE(m_proxy.wait_for_subscription("#zone_event", 5s));

    m_proxy.publish(zone_event("b", "z1", "enter"));
    m_proxy.publish("#zone_event {not json");
    m_proxy.publish(zone_event("c", "z1", "enter"));
    EXPECT_EQ(posted(3), (std::vector<std::string>{"a 0501000301001F", "b 0501000302001F",
                                                   "c 0501000303001F"}));
    EXPECT_TRUE(logged("From TVEK c: 0500000203"));

    m_proxy.publish(zone_event("c", "z1", "leave"));
    EXPECT_EQ(posted(3), (std::vector<std::string>{"a 0502000304001F", "b 0502000305001F",
                                                   "c 0502000306001F"}));
    EXPECT_TRUE(logged("From TVEK c: 0500000206"));
    EXPECT_EQ(m_redis.query({"SORT", "brimwatch:zone_events:set", "ALPHA"}), "a:z1 b:z1");

    m_service->send_signal(SIGTERM);
    EXPECT_EQ(m_service->wait(10s), 0);
    EXPECT_TRUE(logged(" exit"));
    m_service.reset();
}

TEST_F(end_to_end, waits_for_redis_and_repeats_unacknowledged_messages) {
    m_redis.stop();
    start();
    EXPECT_TRUE(logged("initializing..."));
    EXPECT_TRUE(logged("initializing..."));
    m_redis.start();
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(logged("called"));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);

    m_devices.set_acknowledging(false);
    ASSERT_TRUE(m_proxy.wait_for_subscription("#zone_event", 5s));
    m_proxy.publish(zone_event("b", "z1", "enter"));
    m_proxy.publish(zone_event("c", "z1", "enter"));
    const auto sent = posted(15, 20s);
    EXPECT_EQ(sent.size(), 15u) << "three messages, five sends each";
    EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                            [](const auto& _s) { return _s.starts_with("a "); }),
              5);
    std::vector<std::chrono::steady_clock::time_point> to_a;
    for (const auto& request : m_server.requests()) {
        if (request.method == "POST" && request.body.find(R"("uid":"a")") != std::string::npos) {
            to_a.push_back(request.time);
        }
    }
    ASSERT_EQ(to_a.size(), 5u);
    for (std::size_t i = 1; i < to_a.size(); ++i) {
        EXPECT_NEAR(std::chrono::duration<double>(to_a[i] - to_a[i - 1]).count(), 2.5, 0.4);
    }
}

class end_to_end_read_only : public end_to_end {
protected:
    end_to_end_read_only()
        : end_to_end(false) {}
};

TEST_F(end_to_end_read_only, sends_no_post_and_survives_malformed_messages) {
    start();
    ASSERT_TRUE(logged("called"));
    ASSERT_TRUE(m_proxy.wait_for_subscription("#user_msg", 5s));
    for (const auto* topic : {"#zone_event", "#notify", "#user_msg"}) {
        m_proxy.publish(std::string(topic) + " {broken");
        m_proxy.publish(std::string(topic) + " [1, 2]");
        m_proxy.publish(std::string(topic) + " no json at all");
    }
    m_proxy.publish(R"(#notify {"action": "NA", "dev_id": "a"})");
    m_proxy.publish(zone_event("b", "z1", "enter"));
    m_proxy.publish(zone_event("c", "z1", "enter"));
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (m_redis.query({"SCARD", "brimwatch:zone_events:set"}) != "3" &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_EQ(m_redis.query({"SORT", "brimwatch:zone_events:set", "ALPHA"}), "a:z1 b:z1 c:z1");
    // The alarms go out as far as the HTTP client, which answers them itself.
    EXPECT_TRUE(logged("To TVEK c: 0501000303001F"));
    for (const auto& request : m_server.requests()) {
        EXPECT_EQ(request.method, "GET") << request.path;
    }
    EXPECT_EQ(m_service->wait(0ms), std::nullopt) << "the service is still running";
}

} // namespace
} // namespace nkp::tests
