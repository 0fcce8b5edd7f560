#include "core/async_operation_handle_impl.hpp"
#include "loop_fixture.hpp"

#include "test_support/loop_runner.hpp"

#include <gtest/gtest.h>

#include <thread>

namespace nkp::libs::core::tests {
namespace {

using namespace std::chrono_literals;
using test_support::run_for;
using test_support::run_until;

// Counts its living copies, to show a dropped result is destroyed.
struct tracked_result {
    explicit tracked_result(int _value, std::shared_ptr<int> _alive)
        : value(_value)
        , alive(std::move(_alive)) {}
    int value;
    std::shared_ptr<int> alive;
};

using handle = async_operation_handle_impl<tracked_result>;

class async_handle_test : public loop_fixture, public testing::Test {
protected:
    // A producer that keeps only the weak reference, as every producer does.
    handle::ptr start_producer() {
        auto created =
            handle::create(*m_loop, [this](const handle::ptr&, const std::weak_ptr<handle>& _weak) {
                ++m_starts;
                m_producer = _weak;
            });
        created->start();
        return created;
    }
    void produce(int _value) {
        if (const auto target = m_producer.lock()) {
            target->return_result(tracked_result(_value, m_alive));
        }
    }

    std::weak_ptr<handle> m_producer;
    int m_starts = 0;
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
    std::vector<int> m_delivered;
};

TEST_F(async_handle_test, delivers_on_the_loop_never_inside_the_producer_call) {
    async_operation_handle<tracked_result>::ptr user = start_producer();
    user->set_callback([&](tracked_result _result) { m_delivered.push_back(_result.value); });
    EXPECT_EQ(m_starts, 1);
    EXPECT_FALSE(user->is_complete());
    produce(1);
    EXPECT_TRUE(m_delivered.empty());
    EXPECT_TRUE(user->is_complete());
    produce(2);
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return m_delivered.size() == 2; }, 5s));
    EXPECT_EQ(m_delivered, (std::vector<int>{1, 2}));
}

TEST_F(async_handle_test, a_dropped_handle_never_calls_back_and_its_result_is_destroyed) {
    auto user = start_producer();
    bool called = false;
    user->set_callback([&](tracked_result) { called = true; });
    produce(1);
    user.reset();
    EXPECT_TRUE(m_producer.expired());
    run_for(*m_loop, 20ms);
    EXPECT_FALSE(called);
    EXPECT_EQ(m_alive.use_count(), 1) << "the queued result was not destroyed";
}

TEST_F(async_handle_test, a_result_delivered_before_the_callback_is_set_is_dropped) {
    const auto user = start_producer();
    produce(1);
    run_for(*m_loop, 20ms);
    user->set_callback([&](tracked_result _result) { m_delivered.push_back(_result.value); });
    run_for(*m_loop, 20ms);
    EXPECT_TRUE(m_delivered.empty());
}

TEST_F(async_handle_test, restart_of_a_completed_handle_delivers_again) {
    const auto user = start_producer();
    user->set_callback([&](tracked_result _result) { m_delivered.push_back(_result.value); });
    produce(1);
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return m_delivered.size() == 1; }, 5s));
    EXPECT_TRUE(user->is_complete());
    user->restart();
    EXPECT_EQ(m_starts, 2);
    EXPECT_FALSE(user->is_complete());
    produce(2);
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return m_delivered.size() == 2; }, 5s));
    EXPECT_EQ(m_delivered, (std::vector<int>{1, 2}));
}

TEST_F(async_handle_test, results_from_another_thread_arrive_on_the_loop_thread) {
    const auto user = start_producer();
    std::thread::id delivered_on;
    user->set_callback([&](tracked_result _result) {
        delivered_on = std::this_thread::get_id();
        m_delivered.push_back(_result.value);
    });
    std::thread producer([this] { produce(7); });
    producer.join();
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return !m_delivered.empty(); }, 5s));
    EXPECT_EQ(delivered_on, std::this_thread::get_id());
}

TEST_F(async_handle_test, a_callback_may_replace_itself_or_drop_the_handle) {
    async_operation_handle<tracked_result>::ptr user = start_producer();
    user->set_callback([&](tracked_result _result) {
        m_delivered.push_back(_result.value);
        user->set_callback([&](tracked_result _next) { m_delivered.push_back(-_next.value); });
    });
    produce(1);
    produce(2);
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return m_delivered.size() == 2; }, 5s));
    EXPECT_EQ(m_delivered, (std::vector<int>{1, -2}));

    user->set_callback([&](tracked_result) { user.reset(); });
    produce(3);
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return user == nullptr; }, 5s));
}

TEST_F(async_handle_test, a_throwing_start_function_leaves_the_handle_not_complete) {
    const auto failing =
        handle::create(*m_loop, [](const handle::ptr&, const std::weak_ptr<handle>&) {
            throw std::runtime_error("cannot start");
        });
    EXPECT_THROW(failing->start(), std::runtime_error);
    EXPECT_FALSE(failing->is_complete());
}

} // namespace
} // namespace nkp::libs::core::tests
