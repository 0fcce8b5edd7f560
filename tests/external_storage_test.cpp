#include "context/context.hpp"
#include "external_storage.hpp"
#include "utils.hpp"

#include "core/core.hpp"
#include "core/timers_manager.hpp"

#include "test_support/log_collector.hpp"
#include "test_support/loop_runner.hpp"
#include "test_support/redis_server.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace nkp::tests {
namespace {

using namespace std::chrono_literals;
using libs::core::timestamp;
using testing::HasSubstr;

const timestamp T1 = timestamp(std::chrono::milliseconds(1709647629042));
const timestamp T2 = timestamp(std::chrono::milliseconds(1709647630500));

context::zone_event event(const std::string& _object, const std::string& _zone,
                          timestamp _ts = T1) {
    return context::zone_event(context::zone_event::make_uid(_object, _zone), _ts, _object, _zone,
                               "room", 7);
}

TEST(zone_event, uid_joins_object_and_zone_and_never_changes) {
    auto made = event("tag1", "zoneA");
    EXPECT_EQ(made.get_uid(), "tag1:zoneA");
    made.set_obj_uid("tag2");
    EXPECT_EQ(made.get_uid(), "tag1:zoneA");
    EXPECT_EQ(made.get_obj_uid(), "tag2");
    EXPECT_EQ(made.get_zone_id(), 7u);
    EXPECT_EQ(made.get_zone_type(), "room");
}

// Records every change, to show observers after the store still hear of each one.
class later_observer : public context::context::zone_events::observer {
public:
    void after_creating(const context::zone_event& _e, timestamp) override {
        seen.push_back("created " + _e.get_uid());
    }
    void after_updating(const context::zone_event& _e, timestamp) override {
        seen.push_back("updated " + _e.get_uid());
    }
    void before_deleting(const context::zone_event& _e, timestamp) override {
        seen.push_back("deleted " + _e.get_uid());
    }
    std::vector<std::string> seen;
};

class external_storage_test : public testing::Test {
protected:
    external_storage_test() {
        m_logger.connect(m_collector.endpoint());
        m_creation =
            m_loop->create_redis_context("127.0.0.1", m_redis.port(), m_redis.password(), 0);
        m_creation->set_callback([this](std::optional<libs::core::redis::context::ptr> _context) {
            if (_context) {
                m_redis_context = std::move(*_context);
            }
        });
        EXPECT_TRUE(test_support::run_until(
            *m_loop, [&] { return m_redis_context != nullptr; }, 10s));
    }
    std::unique_ptr<external_storage> make_store() {
        return std::make_unique<external_storage>(m_context, *m_redis_context, m_loop->get_timers(),
                                                  m_logger);
    }
    std::string query(const std::vector<std::string>& _command) const {
        return m_redis.query(_command);
    }
    std::string fields(const std::string& _uid) const {
        return query({"HGETALL", "brimwatch:zone_events:" + _uid + ":fields"});
    }
    // Waits until the asynchronous version write has arrived.
    void wait_for_version() {
        EXPECT_TRUE(test_support::run_until(
            *m_loop,
            [&] {
                return query({"HGET", "brimwatch:constants", "version"}) == "1.1.0";
            },
            5s));
    }

    test_support::redis_server m_redis{"pw"};
    test_support::log_collector m_collector;
    libs::core::logger m_logger{"brimwatch", "main"};
    libs::core::core::ptr m_core = libs::core::core::create(m_logger);
    libs::core::events_loop::ptr m_loop = m_core->create_events_loop("main loop");
    std::shared_ptr<
        libs::core::async_operation_handle<std::optional<libs::core::redis::context::ptr>>>
        m_creation;
    libs::core::redis::context::ptr m_redis_context;
    context::writable_context m_context;
};

TEST_F(external_storage_test, a_first_start_clears_every_key_of_the_service) {
    query({"SET", "brimwatch:old", "x"});
    query({"SET", "brimwatch:zone_events:a:b:fields", "x"});
    query({"SET", "unrelated", "x"});
    const auto store = make_store();
    wait_for_version();
    EXPECT_EQ(query({"EXISTS", "brimwatch:old"}), "0");
    EXPECT_EQ(query({"EXISTS", "brimwatch:zone_events:a:b:fields"}), "0");
    EXPECT_EQ(query({"EXISTS", "unrelated"}), "1");
}

TEST_F(external_storage_test, a_restart_clears_only_the_zone_events) {
    query({"HSET", "brimwatch:constants", "version", "0.9"});
    query({"SET", "brimwatch:other", "kept"});
    query({"SADD", "brimwatch:zone_events:set", "a:b"});
    query({"SET", "brimwatch:zone_events:with:colons:fields", "x"});
    const auto store = make_store();
    wait_for_version();
    EXPECT_EQ(query({"GET", "brimwatch:other"}), "kept");
    EXPECT_EQ(query({"KEYS", "brimwatch:zone_events:*"}), "");
}

TEST_F(external_storage_test, mirrors_creation_update_and_deletion) {
    const auto store = make_store();
    auto& events = m_context.take_zone_events();
    events.add(event("tag1", "zoneA"), T1);
    EXPECT_EQ(fields("tag1:zoneA"), "uid tag1:zoneA obj_uid tag1 zone_uid zoneA zone_type room "
                                    "create_time 2024-03-05T14:07:09.042Z");
    EXPECT_EQ(query({"SMEMBERS", "brimwatch:zone_events:set"}), "tag1:zoneA");
    events.try_get("tag1:zoneA", T2);
    EXPECT_EQ(query({"HGET", "brimwatch:zone_events:tag1:zoneA:fields", "update_time"}),
              "2024-03-05T14:07:10.500Z");
    EXPECT_EQ(query({"HGET", "brimwatch:zone_events:tag1:zoneA:fields", "create_time"}),
              "2024-03-05T14:07:09.042Z");
    events.remove("tag1:zoneA", T2);
    EXPECT_EQ(query({"EXISTS", "brimwatch:zone_events:tag1:zoneA:fields"}), "0");
    EXPECT_EQ(query({"SCARD", "brimwatch:zone_events:set"}), "0");
}

TEST_F(external_storage_test, events_present_at_start_are_mirrored) {
    m_context.take_zone_events().add(event("t", "z"), T1);
    const auto store = make_store();
    EXPECT_EQ(query({"SMEMBERS", "brimwatch:zone_events:set"}), "t:z");
}

TEST_F(external_storage_test, a_redis_outage_leaves_the_alarms_alone_and_the_mirror_converges) {
    const auto store = make_store();
    later_observer later;
    const auto subscription = m_context.get_zone_events().subscribe(later);
    auto& events = m_context.take_zone_events();
    events.add(event("a", "z"), T1);
    events.add(event("b", "z"), T1);

    m_redis.stop();
    EXPECT_NO_THROW(events.add(event("c", "z"), T2));
    EXPECT_NO_THROW(events.remove("a:z", T2));
    EXPECT_TRUE(store->is_stale());
    EXPECT_EQ(later.seen, (std::vector<std::string>{"created a:z", "created b:z", "created c:z",
                                                    "deleted a:z"}));
    const auto failure = m_collector.receive_until("Zone event mirror failed", 5s);
    ASSERT_FALSE(failure.empty());
    EXPECT_THAT(failure.back(), HasSubstr("Command: "));

    // Back again: the periodic check rewrites the mirror without any further change.
    m_redis.start();
    EXPECT_TRUE(test_support::run_until(
        *m_loop, [&] { return !store->is_stale(); }, 10s));
    EXPECT_EQ(query({"SORT", "brimwatch:zone_events:set", "ALPHA"}), "b:z c:z");
    EXPECT_EQ(query({"EXISTS", "brimwatch:zone_events:a:z:fields"}), "0");
    EXPECT_EQ(query({"HGET", "brimwatch:zone_events:c:z:fields", "zone_uid"}), "z");
    wait_for_version();
}

TEST_F(external_storage_test, the_first_change_after_an_outage_rewrites_the_mirror) {
    const auto store = make_store();
    auto& events = m_context.take_zone_events();
    m_redis.stop();
    events.add(event("a", "z"), T1);
    m_redis.start();
    events.add(event("b", "z"), T2);
    EXPECT_FALSE(store->is_stale());
    EXPECT_EQ(query({"SORT", "brimwatch:zone_events:set", "ALPHA"}), "a:z b:z");
}

TEST_F(external_storage_test, clear_branch_sends_no_delete_without_a_match) {
    const auto calls = [&] {
        const auto stats = query({"INFO", "commandstats"});
        const auto at = stats.find("cmdstat_del:calls=");
        return at == std::string::npos ? 0 : std::stoi(stats.substr(at + 18));
    };
    const auto before = calls();
    clear_branch(*m_redis_context, "nothing");
    EXPECT_EQ(calls(), before);
    query({"SET", "x:1", "v"});
    query({"SET", "x:2", "v"});
    clear_branch(*m_redis_context, "x");
    EXPECT_EQ(calls(), before + 1);
    EXPECT_EQ(query({"KEYS", "x:*"}), "");
}

} // namespace
} // namespace nkp::tests
