#include "core/message_stream.hpp"
#include "loop_fixture.hpp"

#include "test_support/loop_runner.hpp"
#include "test_support/proxy.hpp"

#include <gtest/gtest.h>

namespace nkp::libs::core::tests {
namespace {

using namespace std::chrono_literals;
using test_support::run_for;
using test_support::run_until;

class message_stream_test : public loop_fixture, public testing::Test {
protected:
    message_stream::ptr make_stream(bool _raw = false) {
        return _raw ? m_loop->create_zmq_raw_message_stream(m_proxy.endpoint())
                    : m_loop->create_zmq_message_stream(m_proxy.endpoint());
    }
    void subscribed(std::string_view _wire_topic) {
        ASSERT_TRUE(m_proxy.wait_for_subscription(_wire_topic, 5s)) << _wire_topic;
    }
    // The stream's receive runs on the loop; a marker message on its own topic shows that
    // everything published before it was handled.
    void settle(message_stream& _stream) {
        bool marked = false;
        const auto marker = _stream.subscribe("~marker", [&](std::string_view) { marked = true; });
        subscribed("~marker");
        m_proxy.publish("~marker {}");
        ASSERT_TRUE(run_until(
            *m_loop, [&] { return marked; }, 5s));
    }

    test_support::proxy m_proxy;
    std::vector<std::string> m_received;
};

TEST_F(message_stream_test, subscribers_of_one_topic_get_the_payload_in_subscription_order) {
    const auto stream = make_stream();
    const auto first = stream->subscribe(
        "notify", [&](std::string_view _m) { m_received.push_back("1 " + std::string(_m)); });
    const auto second = stream->subscribe(
        "notify", [&](std::string_view _m) { m_received.push_back("2 " + std::string(_m)); });
    subscribed("#notify");
    m_proxy.publish(R"(#notify {"a":1})");
    m_proxy.publish("#notify");
    m_proxy.publish(R"(#notify{"b":2})");
    m_proxy.publish(R"(#other {"c":3})");
    settle(*stream);
    EXPECT_EQ(m_received, (std::vector<std::string>{R"(1 {"a":1})", R"(2 {"a":1})", R"(1 {"b":2})",
                                                    R"(2 {"b":2})"}));
}

TEST_F(message_stream_test, topics_not_starting_with_a_letter_are_subscribed_unchanged) {
    const auto stream = make_stream();
    const auto digit = stream->subscribe(
        "7seven", [&](std::string_view _m) { m_received.push_back(std::string(_m)); });
    const auto hash = stream->subscribe(
        "#hash", [&](std::string_view _m) { m_received.push_back(std::string(_m)); });
    subscribed("7seven");
    subscribed("#hash");
    m_proxy.publish(R"(7seven {"d":1})");
    m_proxy.publish(R"(#hash {"h":1})");
    settle(*stream);
    EXPECT_EQ(m_received, (std::vector<std::string>{R"({"d":1})", R"({"h":1})"}));
}

TEST_F(message_stream_test, a_message_goes_to_the_first_prefix_topic_only) {
    const auto stream = make_stream(true);
    const auto shorter = stream->subscribe(
        "#zone", [&](std::string_view _m) { m_received.push_back("zone " + std::string(_m)); });
    const auto longer = stream->subscribe("#zone_event", [&](std::string_view _m) {
        m_received.push_back("event " + std::string(_m));
    });
    subscribed("#zone");
    subscribed("#zone_event");
    m_proxy.publish("#zone_event x");
    settle(*stream);
    EXPECT_EQ(m_received, std::vector<std::string>{"zone #zone_event x"});
}

TEST_F(message_stream_test, a_destroyed_subscription_is_never_called_again) {
    const auto stream = make_stream();
    message_stream::subscription::ptr self_destroying;
    message_stream::subscription::ptr destroyed_by_first;
    const auto first = stream->subscribe("notify", [&](std::string_view _m) {
        m_received.push_back("first " + std::string(_m));
        destroyed_by_first.reset();
    });
    self_destroying = stream->subscribe("notify", [&](std::string_view _m) {
        m_received.push_back("self " + std::string(_m));
        self_destroying.reset();
    });
    destroyed_by_first = stream->subscribe(
        "notify", [&](std::string_view _m) { m_received.push_back("never " + std::string(_m)); });
    const auto last = stream->subscribe(
        "notify", [&](std::string_view _m) { m_received.push_back("last " + std::string(_m)); });
    subscribed("#notify");
    m_proxy.publish("#notify {1}");
    m_proxy.publish("#notify {2}");
    settle(*stream);
    EXPECT_EQ(m_received, (std::vector<std::string>{"first {1}", "self {1}", "last {1}",
                                                    "first {2}", "last {2}"}));
}

TEST_F(message_stream_test, a_stream_destroyed_from_its_callback_ends_cleanly) {
    auto stream = make_stream();
    int calls = 0;
    const auto subscription = stream->subscribe("notify", [&](std::string_view) {
        ++calls;
        stream.reset();
    });
    subscribed("#notify");
    m_proxy.publish("#notify {1}");
    m_proxy.publish("#notify {2}");
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return stream == nullptr; }, 5s));
    run_for(*m_loop, 50ms);
    EXPECT_EQ(calls, 1);
}

TEST_F(message_stream_test, a_throwing_callback_does_not_stop_receiving) {
    const auto stream = make_stream();
    const auto subscription = stream->subscribe("notify", [&](std::string_view _m) {
        m_received.push_back(std::string(_m));
        throw std::runtime_error("bad message");
    });
    subscribed("#notify");
    m_proxy.publish("#notify {1}");
    m_proxy.publish("#notify {2}");
    for (int attempt = 0; attempt < 10 && m_received.size() < 2; ++attempt) {
        m_logger.execute([&] {
            run_until(
                *m_loop, [&] { return m_received.size() == 2; }, 5s);
        });
    }
    EXPECT_EQ(m_received, (std::vector<std::string>{"{1}", "{2}"}));
}

TEST_F(message_stream_test, a_burst_is_delivered_completely_and_in_order) {
    constexpr int COUNT = 100000;
    const auto stream = make_stream();
    int next = 0;
    bool in_order = true;
    const auto subscription = stream->subscribe("zone_event", [&](std::string_view _m) {
        in_order = in_order && _m == "{\"n\":" + std::to_string(next) + "}";
        ++next;
    });
    subscribed("#zone_event");
    for (int i = 0; i < COUNT; ++i) {
        m_proxy.publish("#zone_event {\"n\":" + std::to_string(i) + "}");
    }
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return next == COUNT; }, 60s))
        << next << " arrived";
    EXPECT_TRUE(in_order);
}

TEST_F(message_stream_test, an_invalid_address_throws) {
    EXPECT_THROW(m_loop->create_zmq_message_stream("not an endpoint"), std::exception);
}

} // namespace
} // namespace nkp::libs::core::tests
