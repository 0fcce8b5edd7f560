#include "context_initializer.hpp"
#include "context_utils/context_synchronizer.hpp"
#include "core/core.hpp"
#include "core/exception.hpp"
#include "core/json.hpp"

#include "test_support/fake_rest_server.hpp"
#include "test_support/log_collector.hpp"
#include "test_support/loop_runner.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

namespace nkp::libs::context_utils {
namespace {

using namespace std::chrono_literals;
using test_support::fake_rest_server;
using test_support::run_until;
using testing::HasSubstr;

const std::string ZONES_PATH = "/api/private/zones/";

std::string zones_answer(const std::vector<std::string>& _uids) {
    std::string answer = R"({"zones": [)";
    for (const auto& uid : _uids) {
        answer += (answer.back() == '[' ? "" : ",") + std::string(R"({"uid": ")") + uid +
                  R"(", "zone_type_name": "room", "updated_at": "2024-03-05T14:07:09.042Z"})";
    }
    return answer + "]}";
}

// A real loop, HTTP client and REST server, with log lines collected.
class context_fixture : public testing::Test {
protected:
    context_fixture() { m_logger.connect(m_collector.endpoint()); }

    std::vector<std::string> error_lines(std::size_t _count) {
        std::vector<std::string> lines;
        while (lines.size() < _count) {
            const auto line = m_collector.receive(5s);
            if (!line) {
                break;
            }
            if (line->find("Request failed") != std::string::npos) {
                lines.push_back(*line);
            }
        }
        return lines;
    }

    test_support::log_collector m_collector;
    core::logger m_logger{"brimwatch", "main"};
    fake_rest_server m_server;
    core::core::ptr m_core = core::core::create(m_logger);
    core::events_loop::ptr m_loop = m_core->create_events_loop("main loop");
    core::http::client::ptr m_client = m_loop->create_http_client(m_server.address(), 5s, {}, 1);
};

class initializer_test : public context_fixture {
protected:
    context_initializer m_initializer{*m_client, *m_loop, m_logger, 20ms};
};

TEST_F(initializer_test, retries_a_failing_server_logging_each_failure) {
    m_server.set_answer(
        ZONES_PATH,
        fake_rest_server::answer(200, zones_answer({"a", "b"})).after_failures(2, 503, "busy"));
    std::vector<std::string> uids;
    EXPECT_TRUE(
        m_initializer.for_each_object_on_server(object_infos::zone, [&](const json_object& _o) {
            uids.push_back(_o.get_json()["uid"].asString());
            return true;
        }));
    EXPECT_EQ(uids, (std::vector<std::string>{"a", "b"}));
    const auto lines = error_lines(2);
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& line : lines) {
        EXPECT_THAT(
            line,
            HasSubstr("Request failed with code: 503, addr: /api/private/zones/, response busy"));
        EXPECT_THAT(line, HasSubstr("context_initializer.cpp"));
    }
    const auto requests = m_server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_GE(requests[1].time - requests[0].time, 20ms);
}

TEST_F(initializer_test, an_unreachable_server_shows_code_minus_one) {
    const auto unreachable = m_loop->create_http_client("http://127.0.0.1:1", 5s, {}, 1);
    context_initializer initializer(*unreachable, *m_loop, m_logger, 10ms);
    std::thread stopper([&] {
        // Stops the loop after the first failure, so the next attempt is interrupted.
        error_lines(1);
        m_loop->stop();
    });
    try {
        initializer.for_each_object_on_server(object_infos::zone,
                                              [](const json_object&) { return true; });
        ADD_FAILURE() << "no exception";
    } catch (const core::exception& e) {
        EXPECT_EQ(e.get_string_error(), "Interrupted");
    }
    stopper.join();
}

TEST_F(initializer_test, walks_answers_and_rejects_those_without_a_list) {
    const auto walk = [&](const std::string& _answer, int _stop_after) {
        int calls = 0;
        const bool all = m_initializer.for_each_object(
            object_infos::zone, json_answer(core::json::parse(_answer, CORE_SOURCE_LOCATION)),
            [&](const json_object&) { return ++calls != _stop_after; });
        return std::make_pair(all, calls);
    };
    EXPECT_EQ(walk(R"({"zones": []})", 0), std::make_pair(true, 0));
    EXPECT_EQ(walk(zones_answer({"a", "b", "c"}), 2), std::make_pair(false, 2));
    try {
        walk(R"({"other": []})", 0);
        FAIL() << "no exception";
    } catch (const core::exception& e) {
        EXPECT_EQ(e.get_string_error(), "\"zones\" is not an array!");
    }
    m_initializer.initialize();
    EXPECT_TRUE(m_server.requests().empty());
}

TEST_F(initializer_test, an_asynchronous_fetch_gives_the_answer_or_nothing) {
    m_server.set_answer(ZONES_PATH, {200, zones_answer({"a"})});
    std::optional<std::optional<json_answer>> got;
    const auto handle = m_initializer.get_objects_async(
        object_infos::zone, [&](auto _answer) { got = std::move(_answer); });
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return got.has_value(); }, 5s));
    ASSERT_TRUE(*got);
    EXPECT_EQ((*got)->get_json()["zones"][0]["uid"].asString(), "a");

    m_server.set_answer(ZONES_PATH, {500, ""});
    got.reset();
    handle->restart();
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return got.has_value(); }, 5s));
    EXPECT_FALSE(*got);
    const auto lines = error_lines(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_THAT(lines[0], HasSubstr("code: 500, addr: /api/private/zones/, response "));
}

// Records what the zone repository tells its observers.
class zone_recorder : public objects_repository<objects::zone>::observer {
public:
    void after_creating(const objects::zone& _zone, core::timestamp _ts) override {
        record("created", _zone, _ts);
    }
    void after_updating(const objects::zone& _zone, core::timestamp _ts) override {
        record("updated", _zone, _ts);
    }
    void before_deleting(const objects::zone& _zone, core::timestamp _ts) override {
        record("deleted", _zone, _ts);
    }

    std::vector<std::string> events;
    std::vector<core::timestamp> times;

private:
    void record(const std::string& _event, const objects::zone& _zone, core::timestamp _ts) {
        events.push_back(_event + " " + _zone.get_uid());
        times.push_back(_ts);
    }
};

class synchronizer_test : public context_fixture {
protected:
    std::vector<std::string> stored(const context_synchronizer::zones_ptr& _zones) const {
        std::vector<std::string> uids;
        _zones->get_objects().for_each([&](const objects::zone& _zone) {
            uids.push_back(_zone.get_uid());
            return true;
        });
        return uids;
    }

    context_synchronizer::ptr m_synchronizer =
        context_synchronizer::create(*m_client, *m_loop, m_logger, 20ms);
    zone_recorder m_recorder;
};

TEST_F(synchronizer_test, make_zones_returns_them_loaded_and_follows_messages) {
    m_server.set_answer(ZONES_PATH, {200, zones_answer({"b", "a"})});
    const auto zones = m_synchronizer->make_zones(3h);
    EXPECT_EQ(stored(zones), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(zones->get_objects().try_get("a")->get_updated_at(),
              *core::timestamp::try_parse("2024-03-05T14:07:09.042Z"));
    const auto subscription = zones->get_objects().subscribe(m_recorder);

    m_synchronizer->handle_notify(R"({"object": "ZONE", "action": "updated", "ts": 100, "ms": 1,
        "plist": {"uid": "c", "zone_type_name": "hall"}})");
    m_synchronizer->handle_notify(R"({"object": "zone", "action": "CREATED", "ts": 101, "ms": 2,
        "plist": {"uid": "a", "zone_type_name": "hall"}})");
    m_synchronizer->handle_notify(R"({"object": "ZONE", "action": "deleted", "ts": 102, "ms": 3,
        "plist": {"uid": "b"}})");
    m_synchronizer->handle_notify(R"({"object": "ZONE", "action": "deleted", "ts": 103, "ms": 4,
        "plist": {"uid": "missing"}})");
    EXPECT_THROW(m_synchronizer->handle_notify(
                     R"({"object": "ZONE", "action": "updated", "plist": {"uid": "x"}})"),
                 core::exception);
    EXPECT_EQ(m_recorder.events, (std::vector<std::string>{"created c", "updated a", "deleted b"}));
    EXPECT_EQ(m_recorder.times,
              (std::vector<core::timestamp>{core::timestamp(100, 1), core::timestamp(101, 2),
                                            core::timestamp(102, 3)}));
    EXPECT_EQ(zones->get_objects().try_get("a")->get_zone_type_name(), "hall");
    EXPECT_EQ(stored(zones), (std::vector<std::string>{"a", "c"}));
}

TEST_F(synchronizer_test, a_reload_adds_updates_and_removes_with_one_time) {
    m_server.set_answer(ZONES_PATH, {200, zones_answer({"a", "b"})});
    const auto zones = m_synchronizer->make_zones(3h);
    const auto subscription = zones->get_objects().subscribe(m_recorder);
    m_server.set_answer(ZONES_PATH, {200, zones_answer({"b", "c"})});
    const auto before = core::timestamp::current_time();
    zones->set_update_period(30ms);
    ASSERT_TRUE(run_until(
        *m_loop, [&] { return m_recorder.events.size() >= 3; }, 5s));
    zones->disable_timer();
    EXPECT_EQ(std::vector<std::string>(m_recorder.events.begin(), m_recorder.events.begin() + 3),
              (std::vector<std::string>{"updated b", "created c", "deleted a"}));
    EXPECT_GE(m_recorder.times[0], before);
    EXPECT_EQ(m_recorder.times[0], m_recorder.times[1]);
    EXPECT_EQ(m_recorder.times[1], m_recorder.times[2]);
}

TEST_F(synchronizer_test, a_failed_reload_logs_once_and_changes_nothing) {
    m_server.set_answer(ZONES_PATH, {200, zones_answer({"a"})});
    const auto zones = m_synchronizer->make_zones(3h);
    const auto subscription = zones->get_objects().subscribe(m_recorder);
    m_server.set_answer(ZONES_PATH, {502, "bad gateway"});
    zones->set_update_period(30ms);
    // The loop runs the reload and its completion, which logs the failure.
    int failures = 0;
    ASSERT_TRUE(run_until(
        *m_loop,
        [&] {
            const auto line = m_collector.receive(1ms);
            failures += line && line->find("Request failed with code: 502") != std::string::npos;
            return failures > 0;
        },
        5s));
    zones->disable_timer();
    test_support::run_for(*m_loop, 50ms);
    EXPECT_TRUE(m_recorder.events.empty());
    EXPECT_EQ(stored(zones), std::vector<std::string>{"a"});
}

TEST_F(synchronizer_test, callbacks_get_views_of_messages_and_server_objects) {
    m_server.set_answer(ZONES_PATH, {200, zones_answer({"r"})});
    std::vector<std::string> seen;
    m_synchronizer->on_zone_creating(
        [&](parsers::zone& _zone) { seen.push_back("created " + _zone.get_uid()); });
    m_synchronizer->on_zone_deleting([&](const std::string& _uid, core::timestamp _ts) {
        seen.push_back("deleted " + _uid + " @" +
                       std::to_string(_ts.get_time_since_epoch().count()));
    });
    m_synchronizer->initialize();
    m_synchronizer->handle_notify(
        R"({"object": "ZONE", "action": "created", "ts": 1, "ms": 0, "plist": {"uid": "m"}})");
    m_synchronizer->handle_notify(
        R"({"object": "ZONE", "action": "deleted", "ts": 2, "ms": 5, "plist": {"uid": "d"}})");
    EXPECT_EQ(seen, (std::vector<std::string>{"created r", "created m", "deleted d @2005"}));
    int walked = 0;
    EXPECT_TRUE(m_synchronizer->for_each_zone_on_server([&](parsers::zone& _zone) {
        EXPECT_EQ(_zone.get_ts(), 1709647629u);
        return ++walked > 0;
    }));
    EXPECT_EQ(walked, 1);
}

TEST_F(synchronizer_test, messages_for_a_destroyed_manager_are_ignored) {
    m_server.set_answer(ZONES_PATH, {200, zones_answer({"a"})});
    m_synchronizer->make_zones(3h).reset();
    EXPECT_NO_THROW(m_synchronizer->handle_notify(
        R"({"object": "ZONE", "action": "updated", "ts": 1, "ms": 0, "plist": {"uid": "a"}})"));
}

} // namespace
} // namespace nkp::libs::context_utils
