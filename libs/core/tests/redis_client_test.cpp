#include "core/exception.hpp"
#include "core/redis/context.hpp"
#include "loop_fixture.hpp"

#include "test_support/loop_runner.hpp"
#include "test_support/redis_server.hpp"

#include <gtest/gtest.h>

namespace nkp::libs::core::tests {
namespace {

using namespace std::chrono_literals;
using test_support::run_until;

// A real loop and a real redis-server, with or without a password.
class redis_client_test : public loop_fixture, public testing::TestWithParam<std::string> {
protected:
    using creation = std::shared_ptr<async_operation_handle<std::optional<redis::context::ptr>>>;

    // Connects and waits for the result.
    std::optional<redis::context::ptr> connect(int _db = 0,
                                               std::optional<std::string> _password = {}) {
        m_creation = m_loop->create_redis_context("127.0.0.1", m_server.port(),
                                                  _password.value_or(m_server.password()), _db);
        return wait_for_result();
    }
    std::optional<redis::context::ptr> wait_for_result() {
        std::optional<std::optional<redis::context::ptr>> result;
        m_creation->set_callback(
            [&](std::optional<redis::context::ptr> _context) { result = std::move(_context); });
        EXPECT_TRUE(run_until(
            *m_loop, [&] { return result.has_value(); }, 10s));
        return result ? std::move(*result) : std::nullopt;
    }
    // How often the server ran a command, from its statistics.
    int calls_of(const std::string& _command) const {
        const auto stats = m_server.query({"INFO", "commandstats"});
        const auto at = stats.find("cmdstat_" + _command + ":calls=");
        if (at == std::string::npos) {
            return 0;
        }
        return std::stoi(stats.substr(at + _command.size() + 15));
    }
    int scan_calls() const { return calls_of("scan"); }
    static std::string error_of(const std::function<void()>& _call) {
        try {
            _call();
        } catch (const exception& e) {
            return e.get_string_error();
        }
        return {};
    }

    test_support::redis_server m_server{GetParam()};
    creation m_creation;
};

TEST_P(redis_client_test, runs_commands_on_both_connections) {
    const auto auth_before = calls_of("auth");
    auto context = connect();
    ASSERT_TRUE(context && *context);
    // Both connections authenticate only when there is a password (each statistics query
    // authenticates once itself), and both select.
    EXPECT_EQ(calls_of("auth") - auth_before, GetParam().empty() ? 0 : 3);
    EXPECT_GE(calls_of("select"), 2);
    auto& redis = **context;
    EXPECT_EQ(redis.set("k", "v")->execute().as_string_view(), "OK");
    EXPECT_EQ(redis.get("k")->execute().to_string(), "v");

    std::optional<redis::reply> async_reply;
    const auto handle = redis.get("k")->execute_async();
    handle->set_callback([&](redis::reply _reply) { async_reply.emplace(std::move(_reply)); });
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return async_reply.has_value(); }, 5s));
    EXPECT_EQ(async_reply->to_string(), "v");

    const auto missing = redis.get("missing")->execute();
    EXPECT_EQ(missing.get_type(), redis::reply_type::NIL);
    EXPECT_FALSE(missing.try_string_view());
    EXPECT_EQ(error_of([&] { missing.as_string_view(); }), "Reply is not string, actual type: nil");
    EXPECT_EQ(error_of([&] { missing.as_array(); }), "Reply is not array, actual type: nil");

    EXPECT_EQ(error_of([&] {
                  redis.create_command({"NOSUCHCOMMAND", "x"})->execute();
              }).rfind("Command: NOSUCHCOMMAND, error: ERR unknown command", 0),
              0u);
    std::optional<redis::reply> error_reply;
    const auto failing = redis.create_command({"NOSUCHCOMMAND"})->execute_async();
    failing->set_callback([&](redis::reply _reply) { error_reply.emplace(std::move(_reply)); });
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return error_reply.has_value(); }, 5s));
    EXPECT_EQ(error_reply->get_type(), redis::reply_type::ERROR);
}

TEST_P(redis_client_test, tables_sets_and_binary_arguments) {
    auto context = connect();
    ASSERT_TRUE(context && *context);
    auto& redis = **context;
    const std::string binary("a\0b c", 5);
    redis.set_to_table_multi("t")
        ->add_argument("f1")
        .add_argument(binary)
        .add_argument("f2")
        .add_argument("2")
        .execute();
    EXPECT_EQ(redis.get_from_table("t", "f1")->execute().to_string(), binary);
    EXPECT_EQ(redis.increment_in_table("t", "f2", "3")->execute().to_long_long(), 5);
    EXPECT_EQ(redis.get_table("t")->execute().as_array().size(), 4u);
    redis.add_to_set("s")->add_argument("x").add_argument("y").execute();
    redis.remove_from_set("s", "x")->execute();
    const auto members = redis.get_set_members("s")->execute();
    ASSERT_EQ(members.as_array().size(), 1u);
    EXPECT_EQ(members.as_array()[0].to_string(), "y");
    EXPECT_EQ(error_of([&] { members.as_array()[1]; }), "Index out of range");
    redis.delete_from_table("t", "f1")->execute();
    redis.del("s")->execute();
    EXPECT_EQ(m_server.query({"HKEYS", "t"}), "f2");
    EXPECT_EQ(m_server.query({"EXISTS", "s"}), "0");
}

TEST_P(redis_client_test, scan_walks_every_page_and_stops_when_asked) {
    auto context = connect();
    ASSERT_TRUE(context && *context);
    auto& redis = **context;
    for (int i = 0; i < 150; ++i) {
        redis.set("scan:" + std::to_string(i), "v")->execute();
    }
    redis.set("other", "v")->execute();
    std::set<std::string> keys;
    EXPECT_EQ(redis.scan("scan:*",
                         [&](std::string_view _key) {
                             keys.insert(std::string(_key));
                             return true;
                         }),
              iteration_result::finished);
    EXPECT_EQ(keys.size(), 150u);
    int calls = 0;
    EXPECT_EQ(redis.scan("nothing:*", [&](std::string_view) { return ++calls > 0; }),
              iteration_result::finished);
    EXPECT_EQ(calls, 0);
    const auto before = scan_calls();
    EXPECT_EQ(redis.scan("scan:*", [&](std::string_view) { return ++calls == 0; }),
              iteration_result::interrupted);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(scan_calls(), before + 1) << "a SCAN after the stop";
}

TEST_P(redis_client_test, a_database_number_keeps_keys_apart) {
    auto first = connect(0);
    auto third = connect(3);
    ASSERT_TRUE(first && *first && third && *third);
    (*third)->set("db", "three")->execute();
    EXPECT_EQ((*first)->get("db")->execute().get_type(), redis::reply_type::NIL);
    EXPECT_EQ(m_server.query({"GET", "db"}, 3), "three");
}

TEST_P(redis_client_test, an_unreachable_server_completes_empty_and_a_restart_succeeds) {
    m_server.stop();
    m_creation = m_loop->create_redis_context("127.0.0.1", m_server.port(), m_server.password(), 0);
    auto failed = wait_for_result();
    EXPECT_FALSE(failed && *failed);
    EXPECT_TRUE(m_creation->is_complete());
    m_server.start();
    m_creation->restart();
    auto context = wait_for_result();
    ASSERT_TRUE(context && *context);
    EXPECT_EQ((**context).set("k", "v")->execute().to_string(), "OK");
}

TEST_P(redis_client_test, a_lost_connection_is_reported_and_then_made_again) {
    auto context = connect();
    ASSERT_TRUE(context && *context);
    auto& redis = **context;
    m_server.stop();
    EXPECT_EQ(error_of([&] { redis.get("k")->execute(); }).rfind("Command: GET, error: ", 0), 0u);
    std::optional<redis::reply> lost;
    std::string refused;
    // The asynchronous connection learns of the loss on the loop; its command ends without a
    // reply, or is refused once the connection is gone.
    test_support::run_for(*m_loop, 50ms);
    refused = error_of([&] {
        const auto handle = redis.get("k")->execute_async();
        handle->set_callback([&](redis::reply _reply) { lost.emplace(std::move(_reply)); });
        run_until(
            *m_loop, [&] { return lost.has_value(); }, 2s);
    });
    EXPECT_TRUE(refused == "Command: GET, error" ||
                (lost && lost->get_type() == redis::reply_type::NIL));
    m_server.start();
    EXPECT_EQ(redis.set("k", "again")->execute().to_string(), "OK");
}

TEST_P(redis_client_test, a_wrong_password_fails_the_creation) {
    if (GetParam().empty()) {
        GTEST_SKIP() << "the server takes any connection";
    }
    auto context = connect(0, std::string("wrong"));
    EXPECT_FALSE(context && *context);
}

INSTANTIATE_TEST_SUITE_P(passwords, redis_client_test, testing::Values("", "s3cret"),
                         [](const auto& _info) {
                             return _info.param.empty() ? "open" : "password";
                         });

TEST(redis_reply_type, names_and_rejects_unknown_values) {
    EXPECT_STREQ(redis::to_string(redis::reply_type::STATUS), "status");
    EXPECT_THROW(redis::to_string(redis::reply_type::_count), exception);
}

} // namespace
} // namespace nkp::libs::core::tests
