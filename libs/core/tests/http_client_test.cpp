#include "core/exception.hpp"
#include "core/http/client.hpp"
#include "loop_fixture.hpp"

#include "test_support/fake_rest_server.hpp"
#include "test_support/free_port.hpp"
#include "test_support/loop_runner.hpp"

#include <gtest/gtest.h>

#include <thread>

namespace nkp::libs::core::tests {
namespace {

using namespace std::chrono_literals;
using test_support::fake_rest_server;
using test_support::run_until;

class http_client_test : public loop_fixture, public testing::Test {
protected:
    http::client::ptr make_client(const std::string& _address,
                                  std::vector<http::method> _disabled = {},
                                  std::chrono::seconds _timeout = 5s) {
        return m_loop->create_http_client(_address, _timeout, _disabled, 1);
    }

    fake_rest_server m_server;
};

TEST_F(http_client_test, answers_with_status_and_body_or_the_body_as_error) {
    m_server.set_answer("/ok", {200, R"({"zones":[]})"});
    m_server.set_answer("/missing", {404, "no such thing"});
    m_server.set_answer("/empty", {500, ""});
    const auto client = make_client(m_server.address());

    const auto ok = client->perform_request(http::method::get, "/ok");
    EXPECT_TRUE(ok.ok());
    EXPECT_EQ(ok.status_code(), 200);
    EXPECT_EQ(*ok.data(), R"({"zones":[]})");
    EXPECT_FALSE(ok.error());

    const auto missing = client->perform_request(http::method::get, "/missing");
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.status_code(), 404);
    EXPECT_FALSE(missing.data());
    EXPECT_EQ(missing.error(), "no such thing");

    const auto empty = client->perform_request(http::method::get, "/empty");
    EXPECT_FALSE(empty.ok());
    EXPECT_EQ(empty.error(), "");
}

TEST_F(http_client_test, sends_the_user_agent_and_the_json_type_only_with_a_body) {
    m_server.set_answer("/api/v2/private/user_msg/", {200, ""});
    m_server.set_answer("//twice", {200, ""});
    const auto client = make_client(m_server.address());
    client->perform_request(http::method::post, "/api/v2/private/user_msg/", R"({"uid":"t"})");
    client->perform_request(http::method::get, "/api/v2/private/user_msg/");
    client->perform_request(http::method::del, "/api/v2/private/user_msg/");
    make_client(m_server.address() + "/")->perform_request(http::method::get, "/twice");
    const auto requests = m_server.requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].body, R"({"uid":"t"})");
    EXPECT_EQ(requests[0].headers.at("content-type"), "application/json");
    EXPECT_EQ(requests[0].headers.at("user-agent"), "brimwatch");
    EXPECT_EQ(requests[1].method, "GET");
    EXPECT_FALSE(requests[1].headers.contains("content-type"));
    EXPECT_EQ(requests[1].headers.at("user-agent"), "brimwatch");
    EXPECT_EQ(requests[2].method, "DELETE");
    EXPECT_EQ(requests[3].path, "//twice");
}

TEST_F(http_client_test, a_disabled_method_is_answered_locally) {
    m_server.set_answer("/p", {500, "must not be reached"});
    m_server.set_answer("/g", {200, "got"});
    const auto client = make_client(m_server.address(), {http::method::post});
    const auto posted = client->perform_request(http::method::post, "/p", "{}");
    EXPECT_TRUE(posted.ok());
    EXPECT_EQ(posted.status_code(), 200);
    EXPECT_EQ(*posted.data(), "");
    EXPECT_EQ(*client->perform_request(http::method::get, "/g").data(), "got");
    const auto requests = m_server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
}

TEST_F(http_client_test, transport_failures_have_no_status_and_say_why) {
    // Nobody listens on a port that was free a moment ago.
    const auto refused = "http://127.0.0.1:" + std::to_string(test_support::free_port());
    const auto failed = make_client(refused)->perform_request(http::method::get, "/");
    EXPECT_FALSE(failed.ok());
    EXPECT_FALSE(failed.status_code());
    EXPECT_EQ(failed.error(), "curl_easy_perform failed:Couldn't connect to server");

    m_server.set_answer("/slow", {200, "late", 3s});
    const auto started = std::chrono::steady_clock::now();
    const auto timed_out =
        make_client(m_server.address(), {}, 1s)->perform_request(http::method::get, "/slow");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2900ms);
    EXPECT_FALSE(timed_out.status_code());
    EXPECT_EQ(timed_out.error(), "curl_easy_perform failed:Timeout was reached");
}

TEST_F(http_client_test, an_asynchronous_request_delivers_on_the_loop_thread) {
    m_server.set_answer("/a", {200, "async"});
    const auto client = make_client(m_server.address());
    std::optional<std::string> body;
    std::thread::id delivered_on;
    const auto handle =
        client->perform_async_request(http::method::get, "/a", [&](http::result _result) {
            delivered_on = std::this_thread::get_id();
            body = *_result.data();
        });
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return body.has_value(); }, 5s));
    EXPECT_EQ(*body, "async");
    EXPECT_EQ(delivered_on, std::this_thread::get_id());
    EXPECT_TRUE(handle->is_complete());

    body.reset();
    handle->restart();
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return body.has_value(); }, 5s));
    EXPECT_EQ(m_server.requests().size(), 2u);
}

TEST_F(http_client_test, a_request_dropped_before_a_worker_takes_it_is_never_sent) {
    m_server.set_answer("/busy", {200, "", 300ms});
    m_server.set_answer("/dropped", {200, ""});
    const auto client = make_client(m_server.address());
    bool busy_done = false;
    const auto busy = client->perform_async_request(http::method::get, "/busy",
                                                    [&](http::result) { busy_done = true; });
    // The only worker is taken by /busy; this one waits in the queue and is dropped there.
    ASSERT_TRUE(m_server.wait_for_requests(1, 5s));
    bool dropped_called = false;
    client->perform_async_request(http::method::get, "/dropped",
                                  [&](http::result) { dropped_called = true; });
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return busy_done; }, 5s));
    test_support::run_for(*m_loop, 200ms);
    EXPECT_FALSE(dropped_called);
    const auto requests = m_server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, "/busy");
}

TEST_F(http_client_test, a_client_destroyed_with_requests_in_flight_ends_cleanly) {
    m_server.set_answer("/slow", {200, "", 200ms});
    bool called = false;
    {
        const auto client = make_client(m_server.address());
        for (int i = 0; i < 3; ++i) {
            client->perform_async_request(http::method::get, "/slow",
                                          [&](http::result) { called = true; });
        }
        const auto kept = client->perform_async_request(http::method::get, "/slow",
                                                        [&](http::result) { called = true; });
        ASSERT_TRUE(m_server.wait_for_requests(1, 5s));
    }
    test_support::run_for(*m_loop, 50ms);
    EXPECT_FALSE(called);
}

TEST(http_method, names_and_rejects_unknown_values) {
    EXPECT_STREQ(http::to_string(http::method::get), "GET");
    EXPECT_STREQ(http::to_string(http::method::put), "PUT");
    EXPECT_STREQ(http::to_string(http::method::del), "DELETE");
    EXPECT_THROW(http::to_string(http::method::_count), exception);
    EXPECT_THROW(http::to_string(static_cast<http::method>(17)), exception);
}

} // namespace
} // namespace nkp::libs::core::tests
