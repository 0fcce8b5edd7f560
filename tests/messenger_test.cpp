#include "messenger_impl.hpp"

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
using test_support::fake_rest_server;
using testing::HasSubstr;

const std::string USER_MSG = "/api/v2/private/user_msg/";

class messenger_test : public testing::Test {
protected:
    messenger_test() {
        m_logger.connect(m_collector.endpoint());
        m_server.set_answer(USER_MSG, {200, "{}"});
        m_messenger.set_on_ack([this](const std::string& _dev, unsigned int _seq, libs::core::timestamp _ts) {
            m_events.push_back("ack " + _dev + " " + std::to_string(_seq) + " @" +
                               std::to_string(_ts.get_time_since_epoch().count()));
        });
        m_messenger.set_on_reboot([this](const std::string& _dev) { m_events.push_back("reboot " + _dev); });
        m_messenger.set_on_heartbeat([this](const std::string& _dev) { m_events.push_back("heartbeat " + _dev); });
        EXPECT_TRUE(m_proxy.wait_for_subscription("#user_msg", 5s));
        EXPECT_TRUE(m_proxy.wait_for_subscription("#notify", 5s));
    }

    std::string last_hex() const {
        const auto requests = m_server.requests();
        return requests.empty() ? "" : requests.back().body;
    }
    // Publishes the messages, then a marker on the same topic, and runs the loop until the
    // marker is through (a user message from another protocol reaches no callback).
    void deliver(const std::vector<std::string>& _messages) {
        for (const auto& message : _messages) {
            m_proxy.publish(message);
        }
        const auto marker = "heartbeat marker-" + std::to_string(++m_markers);
        m_proxy.publish(R"(#notify {"action": "HB", "dev_id": ")" + marker.substr(10) + "\"}");
        ASSERT_TRUE(test_support::run_until(*m_loop, [&] {
            return std::find(m_events.begin(), m_events.end(), marker) != m_events.end();
        }, 5s));
        std::erase_if(m_events, [](const std::string& _event) { return _event.starts_with("heartbeat marker-"); });
    }

    test_support::log_collector m_collector;
    libs::core::logger m_logger{"brimwatch", "main"};
    fake_rest_server m_server;
    test_support::proxy m_proxy;
    libs::core::core::ptr m_core = libs::core::core::create(m_logger);
    libs::core::events_loop::ptr m_loop = m_core->create_events_loop("main loop");
    libs::core::message_stream::ptr m_stream = m_loop->create_zmq_message_stream(m_proxy.endpoint());
    libs::core::http::client::ptr m_client = m_loop->create_http_client(m_server.address(), 5s, {}, 1);
    messenger_impl m_messenger{*m_stream, *m_client, m_logger};
    std::vector<std::string> m_events;
    int m_markers = 0;
};

TEST_F(messenger_test, set_and_clear_events_carry_a_new_sequence_number_and_the_zone) {
    EXPECT_EQ(m_messenger.get_last_sequence_number(), 0);
    EXPECT_TRUE(m_messenger.send_set_event("t-1", 31));
    EXPECT_EQ(last_hex(), R"({"data":{"hex":"0501000301001F"},"uid":"t-1"})");
    for (int i = 0; i < 8; ++i) {
        m_messenger.get_new_sequence_number();
    }
    m_messenger.send_set_event("t-1", 31);
    EXPECT_EQ(last_hex(), R"({"data":{"hex":"050100030A001F"},"uid":"t-1"})");
    m_messenger.send_clear_event("t-2", 0);
    EXPECT_EQ(last_hex(), R"({"data":{"hex":"050200030B0000"},"uid":"t-2"})");
    EXPECT_EQ(m_messenger.get_last_sequence_number(), 11);
    m_messenger.send_clear_event("t-2", 65536);
    EXPECT_EQ(last_hex(), R"({"data":{"hex":"050200030C10000"},"uid":"t-2"})");
    const auto request = m_server.requests().back();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, USER_MSG);
    const auto lines = m_collector.receive_until("To TVEK t-2: 050200030C10000", 5s);
    EXPECT_THAT(lines.back(), HasSubstr("To TVEK t-2: 050200030C10000"));
}

TEST_F(messenger_test, sequence_numbers_wrap_after_255) {
    for (int i = 0; i < 255; ++i) {
        m_messenger.get_new_sequence_number();
    }
    m_messenger.send_set_event("t", 1);
    EXPECT_EQ(m_messenger.get_last_sequence_number(), 0);
    EXPECT_THAT(last_hex(), HasSubstr("\"05010003000001\""));
}

TEST_F(messenger_test, a_refused_message_is_logged_and_reported) {
    m_server.set_answer(USER_MSG, {503, "unavailable"});
    EXPECT_FALSE(m_messenger.send_set_event("t", 1));
    EXPECT_EQ(m_messenger.get_last_sequence_number(), 1);
    const auto lines = m_collector.receive_until("user_msg: ", 5s);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_THAT(lines[lines.size() - 2], HasSubstr("messenger_impl.cpp"));
    EXPECT_THAT(lines[lines.size() - 2], HasSubstr(" unavailable"));
    EXPECT_THAT(lines.back(), HasSubstr(R"(user_msg: {"data":{"hex":"05010003010001"},"uid":"t"})"));
}

TEST_F(messenger_test, acknowledgements_reboots_and_heartbeats_reach_their_callbacks) {
    deliver({
        R"(#user_msg {"hex": "050000020a00", "dev_id": "d", "mac": "m", "ts": 100, "ms": 5})",
        R"(#user_msg {"hex": "060000020a00", "dev_id": "other protocol", "mac": "m", "ts": 1, "ms": 0})",
        R"(#user_msg {"hex": "050100020a00", "dev_id": "set type", "mac": "m", "ts": 1, "ms": 0})",
        R"(#user_msg {"hex": "050000030a00", "dev_id": "long", "mac": "m", "ts": 1, "ms": 0})",
        R"(#user_msg {"hex": "050000020a00", "dev_id": "ts text", "mac": "m", "ts": "1", "ms": 0})",
        R"(#user_msg {"hex": "050000020a00", "dev_id": "no mac", "ts": 1, "ms": 0})",
        R"(#user_msg {"hex": "05000002", "dev_id": "short", "mac": "m", "ts": 1, "ms": 0})",
        R"(#user_msg {"hex": "0500000zz", "dev_id": "not hex", "mac": "m", "ts": 1, "ms": 0})",
        R"(#notify {"action": "NA", "dev_id": "r"})",
        R"(#notify {"action": "HB", "dev_id": "h"})",
        R"(#notify {"action": "OTHER", "dev_id": "o"})",
    });
    EXPECT_EQ(m_events, (std::vector<std::string>{"ack d 10 @100005", "reboot r", "heartbeat h"}));
    const auto lines = m_collector.receive_until("Wrong lengh", 5s);
    const auto has = [&](const std::string& _text) {
        return std::any_of(lines.begin(), lines.end(), [&](const auto& _line) { return _line.find(_text) != std::string::npos; });
    };
    EXPECT_TRUE(has("From TVEK d: 050000020A00"));
    EXPECT_TRUE(has("Unknown Message type 0x1"));
    EXPECT_TRUE(has("Wrong lengh"));
    EXPECT_FALSE(has("other protocol"));
}

TEST_F(messenger_test, malformed_messages_are_dropped_and_receiving_goes_on) {
    m_proxy.publish("#user_msg {not json");
    m_proxy.publish(R"(#user_msg {"hex": "05", "dev_id": "tiny", "mac": "m", "ts": 1, "ms": 0})");
    for (int attempt = 0; attempt < 5; ++attempt) {
        m_logger.execute([&] { deliver({}); });
    }
    m_proxy.publish(R"(#notify {"action": "NA", "dev_id": "after"})");
    deliver({});
    EXPECT_EQ(m_events, std::vector<std::string>{"reboot after"});
}

} // namespace
} // namespace nkp::tests
