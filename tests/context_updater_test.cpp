// The library has a header of the same name among its implementation files.
#include "../src/context_updater.hpp"

#include "core/core.hpp"

#include "test_support/fake_rest_server.hpp"
#include "test_support/log_collector.hpp"
#include "test_support/loop_runner.hpp"
#include "test_support/proxy.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace nkp::tests {
namespace {

using namespace std::chrono_literals;
using libs::core::timestamp;

const std::string ZONES = R"({"zones": [
    {"uid": "z1", "zone_id": 31, "zone_type_name": "room", "updated_at": "2024-03-05T14:07:09.042Z",
     "trackables_in_zone": [{"uid": "a", "entered": {"time": "2024-03-05T14:00:00.000Z"}},
                            {"uid": "bad", "entered": {"time": "never"}}]},
    {"uid": "z2", "zone_type_name": "lab", "updated_at": "2024-03-05T14:07:09.042Z",
     "trackables_in_zone": [{"uid": "a", "entered": {"time": "2024-03-05T14:00:00.000Z"}}]},
    {"uid": "h1", "zone_id": 9, "zone_type_name": "hall", "updated_at": "2024-03-05T14:07:09.042Z",
     "trackables_in_zone": [{"uid": "b", "entered": {"time": "2024-03-05T14:00:00.000Z"}}]}
]})";

class recorder : public context::context::zone_events::observer {
public:
    void after_creating(const context::zone_event& _e, timestamp _ts) override {
        add("created", _e, _ts);
    }
    void after_updating(const context::zone_event& _e, timestamp _ts) override {
        add("updated", _e, _ts);
    }
    void before_deleting(const context::zone_event& _e, timestamp _ts) override {
        add("deleted", _e, _ts);
    }
    std::vector<std::string> seen;

private:
    void add(const std::string& _what, const context::zone_event& _e, timestamp _ts) {
        seen.push_back(_what + " " + _e.get_uid() + " " + _e.get_zone_type() + " " +
                       std::to_string(_e.get_zone_id()) + " @" +
                       std::to_string(_ts.get_time_since_epoch().count()));
    }
};

class context_updater_test : public testing::Test {
protected:
    context_updater_test() {
        m_logger.connect(m_collector.endpoint());
        m_server.set_answer("/api/private/zones/", {200, ZONES});
        m_updater = std::make_unique<context_updater>(m_context, *m_client, *m_stream, *m_loop,
                                                      m_logger, m_types, 10ms);
        m_subscription.emplace(m_context.get_zone_events().subscribe(m_recorder));
        EXPECT_TRUE(m_proxy.wait_for_subscription("#zone_event", 5s));
    }
    // Publishes the messages and a marker enter, and runs the loop until the marker is in.
    void deliver(const std::vector<std::string>& _messages) {
        for (const auto& message : _messages) {
            m_proxy.publish(message);
        }
        m_proxy.publish(event("marker", "z1", "enter", 1));
        ASSERT_TRUE(test_support::run_until(
            *m_loop, [&] { return m_context.get_zone_events().is_exists("marker:z1"); }, 5s));
        m_context.take_zone_events().remove("marker:z1", timestamp());
        std::erase_if(m_recorder.seen,
                      [](const auto& _s) { return _s.find("marker") != std::string::npos; });
    }
    static std::string event(const std::string& _object, const std::string& _zone,
                             const std::string& _action, int _ms,
                             const std::string& _type = "room") {
        return R"(#zone_event {"ts": 1700000000, "ms": )" + std::to_string(_ms) +
               R"(, "obj_uid": ")" + _object + R"(", "zone_uid": ")" + _zone +
               R"(", "zone_type_name": ")" + _type + R"(", "action": ")" + _action + R"("})";
    }

    test_support::log_collector m_collector;
    libs::core::logger m_logger{"brimwatch", "main"};
    test_support::fake_rest_server m_server;
    test_support::proxy m_proxy;
    libs::core::core::ptr m_core = libs::core::core::create(m_logger);
    libs::core::events_loop::ptr m_loop = m_core->create_events_loop("main loop");
    libs::core::message_stream::ptr m_stream =
        m_loop->create_zmq_message_stream(m_proxy.endpoint());
    libs::core::http::client::ptr m_client =
        m_loop->create_http_client(m_server.address(), 5s, {}, 1);
    std::set<std::string, std::less<>> m_types{"room", "lab"};
    context::writable_context m_context;
    std::unique_ptr<context_updater> m_updater;
    recorder m_recorder;
    std::optional<context::context::zone_events::subscription_handle> m_subscription;
};

TEST_F(context_updater_test, start_up_events_come_from_the_zones_of_configured_types) {
    m_updater->initialize();
    EXPECT_EQ(m_recorder.seen, (std::vector<std::string>{"created a:z1 room 31 @1709647200000",
                                                         "created a:z2 lab 0 @1709647200000"}));
    EXPECT_TRUE(
        m_collector.receive_until("failed to parse timestamp", 5s).back().find("entered.time") !=
        std::string::npos);
}

TEST_F(context_updater_test, zone_events_follow_enters_and_leaves) {
    deliver({event("b", "z1", "enter", 250), event("b", "z1", "enter", 300),
             event("b", "z1", "leave", 400), event("b", "z1", "leave", 500),
             event("c", "h1", "enter", 1, "hall"), event("d", "z1", "enter", 2, "lab")});
    EXPECT_EQ(m_recorder.seen, (std::vector<std::string>{"created b:z1 room 31 @1700000000250",
                                                         "updated b:z1 room 31 @1700000000300",
                                                         "deleted b:z1 room 31 @1700000000400",
                                                         "created d:z1 lab 31 @1700000000002"}));
}

TEST_F(context_updater_test, malformed_events_are_dropped_and_unknown_zones_logged) {
    deliver(
        {R"(#zone_event {"ts": "1700000000", "ms": 0, "obj_uid": "x", "zone_uid": "z1", "zone_type_name": "room", "action": "enter"})",
         R"(#zone_event {"ts": 1700000000, "obj_uid": "x", "zone_uid": "z1", "zone_type_name": "room", "action": "enter"})",
         R"(#zone_event {"ts": 1700000000, "ms": 0, "obj_uid": "x", "zone_uid": "z1", "zone_type_name": "room"})",
         event("y", "nowhere", "enter", 0)});
    EXPECT_TRUE(m_recorder.seen.empty());
    const auto lines = m_collector.receive_until("Zone not found nowhere", 5s);
    ASSERT_FALSE(lines.empty());
    EXPECT_THAT(
        lines.back(),
        testing::HasSubstr("nkp::context_updater::handle_zone_event: Zone not found nowhere"));
}

} // namespace
} // namespace nkp::tests
