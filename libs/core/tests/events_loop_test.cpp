#include "core/exception.hpp"
#include "core/timers_manager.hpp"
#include "loop_fixture.hpp"

#include "test_support/loop_runner.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

namespace nkp::libs::core::tests {
namespace {

using namespace std::chrono_literals;

class events_loop_test : public loop_fixture, public testing::Test {};

TEST_F(events_loop_test, a_throwing_handler_is_logged_and_the_next_one_still_runs) {
    std::vector<int> ran;
    m_loop->post([&] {
        ran.push_back(1);
        throw std::runtime_error("boom");
    });
    m_loop->post([&] { ran.push_back(2); });
    const source_location location(77, CORE_SOURCE_LOCATION.file(), "");
    m_loop->run_catch_exceptions(location);
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    const auto lines = m_collector.receive_until("boom", 5s);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_TRUE(lines[lines.size() - 2].ends_with(
        " /libs/core/tests/events_loop_test.cpp:77 Caught exeption"))
        << lines[lines.size() - 2];
    EXPECT_TRUE(lines.back().starts_with("&brimwatch:core "));
    EXPECT_TRUE(lines.back().ends_with(" std::exception::what(): boom"));
}

TEST_F(events_loop_test, handlers_posted_from_other_threads_run_on_the_loop_in_order) {
    constexpr int COUNT = 10000;
    std::vector<int> first;
    std::vector<int> second;
    std::set<std::thread::id> threads;
    const auto work = m_loop->create_work();
    const auto post_all = [&](std::vector<int>& _into) {
        for (int i = 0; i < COUNT; ++i) {
            m_loop->post([&, i] {
                threads.insert(std::this_thread::get_id());
                _into.push_back(i);
                if (first.size() == COUNT && second.size() == COUNT) {
                    m_loop->stop();
                }
            });
        }
    };
    std::thread one(post_all, std::ref(first));
    std::thread two(post_all, std::ref(second));
    m_loop->run();
    one.join();
    two.join();
    ASSERT_EQ(first.size(), std::size_t(COUNT));
    EXPECT_TRUE(std::is_sorted(first.begin(), first.end()));
    EXPECT_TRUE(std::is_sorted(second.begin(), second.end()));
    EXPECT_EQ(threads, std::set<std::thread::id>{std::this_thread::get_id()});
}

TEST_F(events_loop_test, without_work_run_returns_at_once_and_work_keeps_it_running) {
    m_loop->run();
    // Out of work counts as stopped until the next restart.
    EXPECT_TRUE(m_loop->is_stopped());
    m_loop->get_io_context().restart();
    auto work = m_loop->create_work();
    bool released = false;
    std::thread releaser([&] {
        m_loop->post([&] {
            released = true;
            work.reset();
        });
    });
    m_loop->run();
    releaser.join();
    EXPECT_TRUE(released);
}

TEST_F(events_loop_test, a_termination_signal_stops_the_loop) {
    for (const int signal : {SIGTERM, SIGINT}) {
        // Stopped by the previous signal, and by its work going while the loop was idle.
        m_loop->get_io_context().restart();
        const auto signals = m_loop->stop_on_signals();
        const auto work = m_loop->create_work();
        EXPECT_FALSE(signals->signal_is_received());
        m_loop->post([signal] { std::raise(signal); });
        m_loop->run_catch_exceptions(CORE_SOURCE_LOCATION);
        EXPECT_TRUE(signals->signal_is_received());
        EXPECT_TRUE(m_loop->is_stopped());
    }
}

TEST_F(events_loop_test, a_signals_handle_destroyed_before_any_signal_leaves_the_loop_alone) {
    m_loop->stop_on_signals().reset();
    bool ran = false;
    m_loop->post([&] { ran = true; });
    const auto work = m_loop->create_work();
    m_loop->post([&] { m_loop->post([&] { m_loop->stop(); }); });
    m_loop->run();
    EXPECT_TRUE(ran);
}

TEST_F(events_loop_test, destruction_runs_the_handlers_of_cancelled_operations) {
    bool handler_ran = false;
    {
        auto loop = m_core->create_events_loop("short lived");
        auto timer = loop->get_timers().create_timer(
            1h, "t", [](auto) {}, CORE_SOURCE_LOCATION);
        loop->post([&] { handler_ran = true; });
        timer.reset();
    }
    EXPECT_TRUE(handler_ran);
}

TEST_F(events_loop_test, unsupported_factories_say_which_operation) {
    const auto message_of = [](const std::function<void()>& _call) {
        try {
            _call();
        } catch (const exception& e) {
            return e.get_string_error();
        }
        return std::string();
    };
    EXPECT_EQ(message_of([&] { m_loop->get_tcp(); }),
              "events_loop::get_tcp: TCP sockets are not supported");
    EXPECT_EQ(message_of([&] { m_loop->create_udp_socket(ip_protocol::v4, 0); }),
              "events_loop::create_udp_socket: UDP sockets are not supported");
    EXPECT_EQ(message_of([&] { m_loop->create_udp_socket("127.0.0.1", 0); }),
              "events_loop::create_udp_socket: UDP sockets are not supported");
}

} // namespace
} // namespace nkp::libs::core::tests
