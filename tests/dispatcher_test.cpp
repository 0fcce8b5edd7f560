#include "dispatcher.hpp"

#include "core/json.hpp"
#include "objects/zone_impl.hpp"

#include "test_support/fake_events_loop.hpp"

#include <gtest/gtest.h>

namespace nkp::tests {
namespace {

using namespace std::chrono_literals;
using libs::core::timestamp;
using status = writable_zone_event::sending_status_t;
namespace objects = libs::context_utils::objects;

// Records what would go to the devices, and hands the device events back in.
class fake_messenger final : public messenger {
public:
    void set_on_reboot(on_reboot_callback _callback) override { reboot = std::move(_callback); }
    void set_on_heartbeat(on_heartbeat_callback _callback) override {
        heartbeat = std::move(_callback);
    }
    void set_on_ack(on_ack_callback _callback) override { ack = std::move(_callback); }
    bool send_set_event(const std::string& _uid, unsigned int _zone_id) override {
        return record("set", _uid, _zone_id);
    }
    bool send_clear_event(const std::string& _uid, unsigned int _zone_id) override {
        return record("clear", _uid, _zone_id);
    }
    unsigned char get_last_sequence_number() const override { return m_seq_no; }
    unsigned char get_new_sequence_number() override { return ++m_seq_no; }

    std::vector<std::string> take_sent() { return std::exchange(sent, {}); }

    std::vector<std::string> sent;
    on_reboot_callback reboot;
    on_heartbeat_callback heartbeat;
    on_ack_callback ack;

private:
    bool record(const std::string& _kind, const std::string& _uid, unsigned int _zone_id) {
        sent.push_back(_kind + " " + _uid + " " + std::to_string(_zone_id) + " #" +
                       std::to_string(get_new_sequence_number()));
        return true;
    }
    unsigned char m_seq_no = 0;
};

class fake_zones final : public libs::context_utils::objects_repository_manager<objects::zone> {
public:
    const objects& get_objects() const override { return m_objects; }
    void disable_timer() override {}
    void set_update_period(std::chrono::nanoseconds) override {}
    objects m_objects;
};

std::unique_ptr<objects::zone> make_zone(const std::string& _uid, const std::string& _user_params,
                                         const std::string& _type = "room") {
    return std::make_unique<objects::zone_impl>(libs::context_utils::json_object(
        libs::core::json::parse(R"({"uid": ")" + _uid + R"(", "zone_id": 31, "zone_type_name": ")" +
                                    _type + R"(", "user_params": )" + _user_params + "}",
                                CORE_SOURCE_LOCATION)));
}

class dispatcher_test : public testing::Test {
protected:
    dispatcher_test() {
        auto zones = std::make_unique<fake_zones>();
        m_zones = zones.get();
        m_zones->m_objects.add(make_zone("z", R"({"max_occupancy": 2})"), timestamp());
        m_zones->m_objects.add(make_zone("zero", R"({"max_occupancy": 0})"), timestamp());
        m_zones->m_objects.add(make_zone("open", R"({})"), timestamp());
        m_context.set_zones(std::move(zones));
        m_dispatcher =
            std::make_unique<dispatcher>(m_loop, m_context, m_logger, m_messenger, m_types);
    }

    void enter(const std::string& _object, const std::string& _zone = "z") {
        m_context.take_zone_events().add(
            context::zone_event(context::zone_event::make_uid(_object, _zone), timestamp(), _object,
                                _zone, "room", 31),
            timestamp());
    }
    void leave(const std::string& _object, const std::string& _zone = "z") {
        m_context.take_zone_events().remove(context::zone_event::make_uid(_object, _zone),
                                            timestamp());
    }
    std::optional<status> status_of(const std::string& _object,
                                    const std::string& _zone = "z") const {
        const auto& all = m_dispatcher->get_records();
        const auto group = all.find(_zone);
        if (group == all.end()) {
            return std::nullopt;
        }
        const auto record = group->second.find(context::zone_event::make_uid(_object, _zone));
        if (record == group->second.end()) {
            return std::nullopt;
        }
        return record->second.get_status();
    }
    void ack(const std::string& _object, unsigned int _seq_no) {
        m_messenger.ack(_object, _seq_no, timestamp());
    }
    // Three objects over a limit of 2, alarmed with sequence numbers 1 to 3.
    void alarm_three() {
        enter("a");
        enter("b");
        enter("c");
        ASSERT_EQ(m_messenger.take_sent(),
                  (std::vector<std::string>{"set a 31 #1", "set b 31 #2", "set c 31 #3"}));
    }

    test_support::fake_events_loop m_loop;
    libs::core::logger m_logger{"brimwatch", "main"};
    context::writable_context m_context;
    fake_zones* m_zones = nullptr;
    fake_messenger m_messenger;
    std::set<std::string, std::less<>> m_types{"room"};
    std::unique_ptr<dispatcher> m_dispatcher;
};

TEST_F(dispatcher_test, a_zone_over_its_limit_alarms_everyone_inside) {
    enter("a");
    enter("b");
    EXPECT_TRUE(m_messenger.take_sent().empty());
    EXPECT_EQ(status_of("a"), status::NORM);
    enter("c");
    EXPECT_EQ(m_messenger.take_sent(),
              (std::vector<std::string>{"set a 31 #1", "set b 31 #2", "set c 31 #3"}));
    for (const auto* object : {"a", "b", "c"}) {
        EXPECT_EQ(status_of(object), status::ALARM_SENT);
    }
    EXPECT_EQ(m_loop.armed_timers(), 3u);
}

TEST_F(dispatcher_test, one_leaving_an_alarmed_zone_clears_every_alarm) {
    alarm_three();
    leave("b");
    EXPECT_EQ(m_messenger.take_sent(),
              (std::vector<std::string>{"clear a 31 #4", "clear b 31 #5", "clear c 31 #6"}));
    EXPECT_EQ(status_of("b"), status::CLEAR_SENT);
    ack("b", 5);
    EXPECT_FALSE(status_of("b")) << "a deleted record goes with its acknowledged clear event";
    ack("a", 4);
    EXPECT_EQ(status_of("a"), status::NORM);
}

TEST_F(dispatcher_test, a_limit_of_zero_alarms_the_first_object_and_no_limit_none) {
    enter("a", "zero");
    EXPECT_EQ(m_messenger.take_sent(), std::vector<std::string>{"set a 31 #1"});
    enter("a", "open");
    enter("b", "open");
    enter("c", "unknown");
    EXPECT_TRUE(m_messenger.take_sent().empty());
}

TEST_F(dispatcher_test, an_unacknowledged_message_is_sent_five_times_then_a_heartbeat_revives_it) {
    enter("a", "zero");
    m_loop.advance(2500ms * 4);
    EXPECT_EQ(m_messenger.take_sent().size(), 5u);
    m_loop.advance(2500ms * 4);
    EXPECT_TRUE(m_messenger.take_sent().empty());
    EXPECT_EQ(m_loop.armed_timers(), 0u);
    m_messenger.heartbeat("a");
    m_loop.advance(2499ms);
    EXPECT_TRUE(m_messenger.take_sent().empty());
    m_loop.advance(1ms + 2500ms * 4);
    EXPECT_EQ(m_messenger.take_sent(),
              (std::vector<std::string>{"set a 31 #6", "set a 31 #7", "set a 31 #8", "set a 31 #9",
                                        "set a 31 #10"}));
}

TEST_F(dispatcher_test, a_stale_acknowledgement_is_ignored) {
    enter("a", "zero");
    m_loop.advance(2500ms);
    ASSERT_EQ(m_messenger.take_sent().size(), 2u);
    ack("a", 1);
    EXPECT_EQ(status_of("a", "zero"), status::ALARM_SENT);
    m_loop.advance(2500ms);
    EXPECT_EQ(m_messenger.take_sent(), std::vector<std::string>{"set a 31 #3"});
    ack("a", 3);
    EXPECT_EQ(status_of("a", "zero"), status::ALARM_ACKED);
    m_loop.advance(2500ms * 5);
    EXPECT_TRUE(m_messenger.take_sent().empty());
}

TEST_F(dispatcher_test, a_reboot_sends_the_current_message_again) {
    enter("a", "zero");
    ack("a", 1);
    m_messenger.take_sent();
    m_messenger.reboot("a");
    EXPECT_EQ(m_messenger.take_sent(), std::vector<std::string>{"set a 31 #2"});
    EXPECT_EQ(status_of("a", "zero"), status::ALARM_SENT);
    m_messenger.reboot("nobody");
    EXPECT_TRUE(m_messenger.take_sent().empty());
}

TEST_F(dispatcher_test, leaving_and_coming_back_before_the_clear_is_acknowledged) {
    alarm_three();
    leave("c");
    m_messenger.take_sent();
    enter("c");
    // Back over the limit: alarms again for all three.
    EXPECT_EQ(status_of("c"), status::ALARM_SENT);
    leave("c");
    leave("b");
    ack("a", m_messenger.get_last_sequence_number() - 1);
    m_messenger.take_sent();
    // Within the limit now: "c" re-enters and its record returns to NORM, the clear dropped.
    enter("c");
    EXPECT_EQ(status_of("c"), status::NORM);
    const auto sent_before = m_messenger.sent.size();
    m_loop.advance(2500ms * 6);
    for (auto i = sent_before; i < m_messenger.sent.size(); ++i) {
        EXPECT_EQ(m_messenger.sent[i].find("clear c"), std::string::npos) << m_messenger.sent[i];
    }
}

TEST_F(dispatcher_test, a_changed_limit_takes_effect_on_the_zone_update) {
    enter("a");
    enter("b");
    m_zones->m_objects.update_or_add(make_zone("z", R"({"max_occupancy": 1})"), timestamp());
    EXPECT_EQ(m_messenger.take_sent(), (std::vector<std::string>{"set a 31 #1", "set b 31 #2"}));
    m_zones->m_objects.update_or_add(make_zone("z", R"({"max_occupancy": 5})"), timestamp());
    EXPECT_EQ(m_messenger.take_sent(),
              (std::vector<std::string>{"clear a 31 #3", "clear b 31 #4"}));
    // A zone of a type that is not configured is not evaluated.
    m_zones->m_objects.update_or_add(make_zone("z", R"({"max_occupancy": 0})", "hall"),
                                     timestamp());
    EXPECT_TRUE(m_messenger.take_sent().empty());
}

TEST_F(dispatcher_test, an_object_in_norm_leaves_without_a_message) {
    enter("a");
    leave("a");
    EXPECT_FALSE(status_of("a"));
    EXPECT_TRUE(m_dispatcher->get_records().empty());
    EXPECT_TRUE(m_messenger.take_sent().empty());
}

TEST_F(dispatcher_test, initialize_brings_in_the_events_that_were_there_before) {
    m_dispatcher.reset();
    enter("a", "zero");
    m_dispatcher = std::make_unique<dispatcher>(m_loop, m_context, m_logger, m_messenger, m_types);
    EXPECT_TRUE(m_messenger.take_sent().empty());
    m_dispatcher->initialize();
    EXPECT_EQ(m_messenger.take_sent(), std::vector<std::string>{"set a 31 #1"});
    m_dispatcher.reset();
    EXPECT_EQ(m_loop.armed_timers(), 0u) << "the records' timers go with the dispatcher";
}

// One row of the record state machine: a record brought into a state through the
// dispatcher's own inputs, one trigger, the state and the messages that follow.
struct transition_case {
    std::string name;
    std::string from;    // how "x" gets its state, see bring()
    std::string trigger; // see apply()
    std::optional<status> to;
    std::vector<std::string> sent;
};

void PrintTo(const transition_case& _case, std::ostream* _os) {
    *_os << _case.name;
}

class dispatcher_transition : public dispatcher_test,
                              public testing::WithParamInterface<transition_case> {
protected:
    // "x" in zone "z" (limit 2), with "y" and "w" as company where needed.
    void bring(const std::string& _from) {
        if (_from == "NORM") {
            enter("x");
        } else if (_from == "ALARM_SENT" || _from == "ALARM_ACKED" || _from == "exhausted") {
            enter("x");
            enter("y");
            enter("w");
            if (_from == "ALARM_ACKED") {
                ack("x", seq_of("x"));
            }
            if (_from == "exhausted") {
                m_loop.advance(2500ms * 5);
            }
        } else if (_from == "CLEAR_SENT" || _from == "CLEAR_SENT deleted") {
            enter("x");
            enter("y");
            enter("w");
            leave(_from == "CLEAR_SENT" ? "w" : "x");
        }
        m_messenger.take_sent();
    }
    void apply(const std::string& _trigger) {
        const auto last = m_messenger.get_last_sequence_number();
        if (_trigger == "leave") {
            leave("x");
        } else if (_trigger == "enter again") {
            enter("x");
        } else if (_trigger == "ack own") {
            ack("x", seq_of("x"));
        } else if (_trigger == "ack stale") {
            ack("x", last + 7);
        } else if (_trigger == "reboot") {
            m_messenger.reboot("x");
        } else if (_trigger == "heartbeat") {
            m_messenger.heartbeat("x");
            m_loop.advance(2500ms);
        } else if (_trigger == "tick") {
            m_loop.advance(2500ms);
        }
    }
    unsigned int seq_of(const std::string& _object) const {
        return m_dispatcher->get_records()
            .at("z")
            .at(context::zone_event::make_uid(_object, "z"))
            .get_seq_no();
    }
    // Only the messages to "x", without their sequence numbers.
    std::vector<std::string> sent_to_x() {
        std::vector<std::string> mine;
        for (const auto& message : m_messenger.take_sent()) {
            if (message.find(" x ") != std::string::npos) {
                mine.push_back(message.substr(0, message.find(" #")));
            }
        }
        return mine;
    }
};

TEST_P(dispatcher_transition, moves_the_record) {
    bring(GetParam().from);
    apply(GetParam().trigger);
    EXPECT_EQ(status_of("x"), GetParam().to);
    EXPECT_EQ(sent_to_x(), GetParam().sent);
}

INSTANTIATE_TEST_SUITE_P(
    table, dispatcher_transition,
    testing::Values(
        transition_case{"norm_leaves", "NORM", "leave", std::nullopt, {}},
        transition_case{
            "alarm_sent_leaves", "ALARM_SENT", "leave", status::CLEAR_SENT, {"clear x 31"}},
        transition_case{
            "alarm_acked_leaves", "ALARM_ACKED", "leave", status::CLEAR_SENT, {"clear x 31"}},
        transition_case{"clear_sent_leaves", "CLEAR_SENT", "leave", status::CLEAR_SENT, {}},
        // Back to NORM, then over the limit again with three inside.
        transition_case{"clear_sent_enters_again",
                        "CLEAR_SENT deleted",
                        "enter again",
                        status::ALARM_SENT,
                        {"set x 31"}},
        transition_case{"alarm_sent_tick", "ALARM_SENT", "tick", status::ALARM_SENT, {"set x 31"}},
        transition_case{
            "clear_sent_tick", "CLEAR_SENT", "tick", status::CLEAR_SENT, {"clear x 31"}},
        transition_case{"alarm_acked_tick", "ALARM_ACKED", "tick", status::ALARM_ACKED, {}},
        transition_case{"exhausted_tick", "exhausted", "tick", status::ALARM_SENT, {}},
        transition_case{"alarm_sent_acked", "ALARM_SENT", "ack own", status::ALARM_ACKED, {}},
        transition_case{"alarm_sent_stale_ack", "ALARM_SENT", "ack stale", status::ALARM_SENT, {}},
        transition_case{"clear_sent_acked", "CLEAR_SENT", "ack own", status::NORM, {}},
        transition_case{"deleted_clear_acked", "CLEAR_SENT deleted", "ack own", std::nullopt, {}},
        transition_case{"norm_acked", "NORM", "ack own", status::NORM, {}},
        transition_case{
            "alarm_acked_reboot", "ALARM_ACKED", "reboot", status::ALARM_SENT, {"set x 31"}},
        transition_case{
            "clear_sent_reboot", "CLEAR_SENT", "reboot", status::CLEAR_SENT, {"clear x 31"}},
        transition_case{"norm_reboot", "NORM", "reboot", status::NORM, {}},
        transition_case{
            "exhausted_heartbeat", "exhausted", "heartbeat", status::ALARM_SENT, {"set x 31"}},
        transition_case{
            "alarm_sent_heartbeat", "ALARM_SENT", "heartbeat", status::ALARM_SENT, {"set x 31"}}),
    [](const testing::TestParamInfo<transition_case>& _info) { return _info.param.name; });

} // namespace
} // namespace nkp::tests
