#include "core/exception.hpp"
#include "core/zmq/manager.hpp"
#include "loop_fixture.hpp"

#include "test_support/free_port.hpp"
#include "test_support/loop_runner.hpp"

#include <gtest/gtest.h>

namespace nkp::libs::core::tests {
namespace {

using namespace std::chrono_literals;
using test_support::run_for;
using test_support::run_until;

class zmq_socket_test : public loop_fixture, public testing::Test {
protected:
    zmq::manager& sockets() { return m_loop->get_zmq(); }
    // A bound socket and its endpoint. The manager's sockets do not report a port ZeroMQ
    // picked, so the port is found free first.
    std::pair<zmq::socket::ptr, std::string> bind_any(zmq::socket::type _type) {
        const auto endpoint = "tcp://127.0.0.1:" + std::to_string(test_support::free_port());
        return {sockets().bind(_type, endpoint), endpoint};
    }
    static zmq::message text(const std::string& _text) {
        return zmq::message(_text.data(), _text.size());
    }

    std::vector<std::string> m_received;
};

TEST_F(zmq_socket_test, push_to_pull_through_the_loop_with_multi_part_messages) {
    auto [pull, endpoint] = bind_any(zmq::socket::type::pull);
    const auto push = sockets().connect(zmq::socket::type::push, endpoint);
    auto* pull_socket = pull.get();
    pull->set_receive_callback([&](zmq::message& _part) {
        std::string whole = _part.to_string();
        while (_part.more()) {
            _part = pull_socket->receive_more();
            whole += "|" + _part.to_string();
        }
        m_received.push_back(whole);
    });
    push->send(text("a"), zmq::flags::sndmore);
    push->send(text("b"));
    EXPECT_TRUE(push->try_send(text("c")));
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return m_received.size() == 2; }, 5s));
    EXPECT_EQ(m_received, (std::vector<std::string>{"a|b", "c"}));
}

TEST_F(zmq_socket_test, try_send_without_a_peer_returns_false_at_once) {
    const auto push = sockets().bind(zmq::socket::type::push, "tcp://127.0.0.1:*");
    EXPECT_FALSE(push->try_send(text("nobody")));
}

TEST_F(zmq_socket_test, binding_an_endpoint_in_use_names_the_address) {
    auto [first, endpoint] = bind_any(zmq::socket::type::pull);
    try {
        sockets().bind(zmq::socket::type::pull, endpoint);
        FAIL() << "no exception";
    } catch (const exception& e) {
        EXPECT_EQ(e.get_string_error(),
                  "zmq::socket_impl::bind to " + endpoint + ": Address already in use");
    }
    try {
        sockets().connect(zmq::socket::type::push, "bogus://x");
        FAIL() << "no exception";
    } catch (const exception& e) {
        EXPECT_TRUE(e.get_string_error().starts_with("zmq::socket_impl::connect to bogus://x: "));
    }
}

TEST_F(zmq_socket_test, a_throwing_callback_still_receives_the_next_message) {
    auto [pull, endpoint] = bind_any(zmq::socket::type::pull);
    const auto push = sockets().connect(zmq::socket::type::push, endpoint);
    pull->set_receive_callback([&](zmq::message& _part) {
        m_received.push_back(_part.to_string());
        throw std::runtime_error("bad");
    });
    push->send(text("1"));
    push->send(text("2"));
    for (int attempt = 0; attempt < 10 && m_received.size() < 2; ++attempt) {
        m_logger.execute([&] {
            run_until(
                *m_loop, [&] { return m_received.size() == 2; }, 5s);
        });
    }
    EXPECT_EQ(m_received, (std::vector<std::string>{"1", "2"}));
}

TEST_F(zmq_socket_test, a_socket_destroyed_from_its_own_callback_stops_cleanly) {
    auto [pull, endpoint] = bind_any(zmq::socket::type::pull);
    const auto push = sockets().connect(zmq::socket::type::push, endpoint);
    pull->set_receive_callback([&](zmq::message& _part) {
        m_received.push_back(_part.to_string());
        pull.reset();
    });
    push->send(text("1"));
    push->send(text("2"));
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return pull == nullptr; }, 5s));
    run_for(*m_loop, 30ms);
    EXPECT_EQ(m_received, std::vector<std::string>{"1"});
}

TEST_F(zmq_socket_test, request_and_reply_on_one_loop) {
    auto [rep, endpoint] = bind_any(zmq::socket::type::rep);
    const auto req = sockets().connect(zmq::socket::type::req, endpoint);
    auto* replier = rep.get();
    rep->set_receive_callback(
        [&](zmq::message& _part) { replier->send(text("re: " + _part.to_string())); });
    req->set_receive_callback(
        [&](zmq::message& _part) { m_received.push_back(_part.to_string()); });
    req->send(text("ping"));
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return m_received.size() == 1; }, 5s));
    EXPECT_EQ(m_received, std::vector<std::string>{"re: ping"});
}

} // namespace
} // namespace nkp::libs::core::tests
