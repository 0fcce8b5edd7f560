#include "core/exception.hpp"
#include "core/timers_manager.hpp"
#include "loop_fixture.hpp"

#include "test_support/loop_runner.hpp"

#include <gtest/gtest.h>

#include <thread>

namespace nkp::libs::core::tests {
namespace {

using namespace std::chrono_literals;
using test_support::run_for;
using test_support::run_until;

class timer_test : public loop_fixture, public testing::Test {
protected:
    timers_manager& timers() { return m_loop->get_timers(); }
    timer::time_point now() { return timers().current_time_point(); }
    // Blocks the loop's thread, as a long handler would.
    static void block_until(timer::time_point _until) { std::this_thread::sleep_until(_until); }
};

TEST_F(timer_test, calls_back_once_with_the_scheduled_time_point) {
    std::vector<timer::time_point> calls;
    const auto at = now() + 20ms;
    const auto timer = m_loop->create_timer(
        at, "t", [&](auto _tp) { calls.push_back(_tp); }, CORE_SOURCE_LOCATION);
    EXPECT_TRUE(timer->is_waiting());
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return !calls.empty(); }, 5s));
    EXPECT_EQ(calls, std::vector<timer::time_point>{at});
    EXPECT_GE(now(), at);
    EXPECT_FALSE(timer->is_waiting());
    run_for(*m_loop, 30ms);
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(timer_test, a_past_time_point_calls_back_at_the_next_turn_with_that_time_point) {
    const auto past = now() - 1s;
    std::optional<timer::time_point> called;
    const auto timer = timers().create_timer(
        past, "t", [&](auto _tp) { called = _tp; }, CORE_SOURCE_LOCATION);
    EXPECT_FALSE(called);
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return called.has_value(); }, 5s));
    EXPECT_EQ(*called, past);
}

TEST_F(timer_test, stopped_or_rearmed_after_the_expiry_was_queued_does_not_call_back_for_it) {
    // Two timers due at the same instant have both expiries queued in one turn of the loop;
    // whichever runs first stops or re-arms the other, whose queued expiry must then do nothing.
    const auto due = now() + 10ms;
    const auto later = due + 20ms;
    std::vector<std::string> calls;
    timer::ptr first;
    timer::ptr second;
    const auto other = [&](const std::string& _name) -> timer& {
        return _name == "first" ? *second : *first;
    };
    const auto callback_of = [&](const std::string& _name, bool _stop) {
        return [&, _name, _stop](timer::time_point _tp) {
            calls.push_back(_name);
            if (_tp != due) {
                return;
            }
            if (_stop) {
                other(_name).stop();
                EXPECT_FALSE(other(_name).is_waiting());
            } else {
                other(_name).reset(later);
            }
        };
    };
    for (const bool stop : {true, false}) {
        calls.clear();
        first =
            timers().create_timer(due, "first", callback_of("first", stop), CORE_SOURCE_LOCATION);
        second =
            timers().create_timer(due, "second", callback_of("second", stop), CORE_SOURCE_LOCATION);
        block_until(due + 5ms);
        run_for(*m_loop, 60ms);
        if (stop) {
            EXPECT_EQ(calls.size(), 1u) << "the stopped timer called back";
        } else {
            ASSERT_EQ(calls.size(), 2u) << "the re-armed timer called back for its old expiry";
            EXPECT_NE(calls[0], calls[1]);
        }
    }
}

TEST_F(timer_test, a_timer_rearmed_or_destroyed_from_its_own_callback) {
    std::vector<timer::time_point> calls;
    timer::ptr timer;
    timer = timers().create_timer(
        10ms, "t",
        [&](auto _tp) {
            calls.push_back(_tp);
            if (calls.size() == 1) {
                timer->reset(_tp + 10ms);
            } else {
                timer.reset();
            }
        },
        CORE_SOURCE_LOCATION);
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return timer == nullptr; }, 5s));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1] - calls[0], 10ms);
}

TEST_F(timer_test, a_periodic_timer_on_a_blocked_loop_skips_the_missed_ticks) {
    std::vector<timer::time_point> calls;
    const auto created = now();
    const auto periodic = m_loop->create_periodic_timer(
        100ms, "p", [&](auto _tp) { calls.push_back(_tp); }, CORE_SOURCE_LOCATION);
    block_until(created + 350ms);
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return calls.size() == 2; }, 5s));
    // The first tick is the one due at +100 ms; +200 ms and +300 ms are skipped.
    EXPECT_GE(calls[0], created + 100ms);
    EXPECT_LT(calls[0], created + 150ms);
    EXPECT_EQ(calls[1] - calls[0], 300ms);
    EXPECT_GE(now(), calls[1]);
}

TEST_F(timer_test, execute_now_calls_at_once_on_the_loop_then_every_period) {
    std::vector<timer::time_point> calls;
    const auto created = now();
    const auto periodic = m_loop->create_periodic_timer(
        30ms, periodic_timer::execute_now{}, "p", [&](auto _tp) { calls.push_back(_tp); },
        CORE_SOURCE_LOCATION);
    EXPECT_TRUE(calls.empty()) << "not inside the factory";
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return calls.size() == 3; }, 5s));
    EXPECT_LT(calls[0] - created, 30ms);
    EXPECT_EQ(calls[1] - calls[0], 30ms);
    EXPECT_EQ(calls[2] - calls[1], 30ms);
}

TEST_F(timer_test, periodic_reset_stop_restart_and_expire_now) {
    std::vector<timer::time_point> calls;
    const auto periodic = m_loop->create_periodic_timer(
        1h, "p", [&](auto _tp) { calls.push_back(_tp); }, CORE_SOURCE_LOCATION);
    const auto before_reset = now();
    periodic->reset(20ms);
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return calls.size() == 1; }, 5s));
    EXPECT_GE(calls[0], before_reset + 20ms);

    periodic->stop();
    run_for(*m_loop, 50ms);
    EXPECT_EQ(calls.size(), 1u);

    periodic->reset(1h);
    const auto expired = now();
    periodic->expire_now();
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return calls.size() == 2; }, 5s));
    EXPECT_GE(calls[1], expired);
    EXPECT_LT(calls[1], expired + 1s);

    EXPECT_THROW(periodic->reset(0ns), check_failed_exception);
}

TEST_F(timer_test, a_periodic_timer_destroying_itself_from_its_callback_ends_cleanly) {
    int calls = 0;
    periodic_timer::ptr periodic;
    periodic = m_loop->create_periodic_timer(
        5ms, "p",
        [&](auto) {
            if (++calls == 3) {
                periodic.reset();
            }
        },
        CORE_SOURCE_LOCATION);
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return periodic == nullptr; }, 5s));
    run_for(*m_loop, 30ms);
    EXPECT_EQ(calls, 3);
}

TEST_F(timer_test, a_throwing_periodic_callback_keeps_ticking) {
    int calls = 0;
    const auto periodic = m_loop->create_periodic_timer(
        5ms, "p",
        [&](auto) {
            ++calls;
            throw std::runtime_error("tick");
        },
        CORE_SOURCE_LOCATION);
    const auto deadline = now() + 5s;
    while (calls < 3 && now() < deadline) {
        m_logger.execute([&] {
            run_until(
                *m_loop, [&] { return calls >= 3; }, 5s);
        });
    }
    EXPECT_GE(calls, 3);
}

} // namespace
} // namespace nkp::libs::core::tests
