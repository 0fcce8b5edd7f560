#include "context_updater.hpp"

#include "core/exception.hpp"

#include <gtest/gtest.h>

namespace nkp::libs::context_utils {
namespace {

class context_updater_test : public testing::Test {
protected:
    context_updater::callback record(const std::string& _name) {
        return [this, _name](const json_notify& _message) {
            m_calls.push_back(_name + " " + _message.get_json()["plist"].asString());
        };
    }
    void register_all() {
        m_updater.on_creating(object_infos::zone, record("zone created"));
        m_updater.on_updating(object_infos::zone, record("zone updated"));
        m_updater.on_deleting(object_infos::zone, record("zone deleted"));
        m_updater.on_node_updating(record("node updated"));
        m_updater.on_trackable_object_groups_updating(record("groups updated"));
        m_updater.on_trackable_object_association_creating(record("association created"));
        m_updater.on_trackable_object_association_updating(record("association updated"));
    }
    std::string notify(const std::string& _object, const std::string& _action) {
        m_calls.clear();
        m_updater.handle_notify(R"({"object": ")" + _object + R"(", "action": ")" + _action +
                                R"(", "plist": "p"})");
        return m_calls.empty() ? "nothing" : m_calls.front();
    }
    std::string error_of(const std::string& _text) {
        try {
            m_updater.handle_notify(_text);
        } catch (const core::exception& e) {
            return e.get_string_error();
        }
        return {};
    }

    context_updater m_updater;
    std::vector<std::string> m_calls;
};

TEST_F(context_updater_test, routes_by_kind_and_action_whatever_their_case) {
    register_all();
    EXPECT_EQ(notify("zone", "UPDATED"), "zone updated p");
    EXPECT_EQ(notify("ZONE", "created"), "zone created p");
    EXPECT_EQ(notify("Zone", "Deleted"), "zone deleted p");
    EXPECT_EQ(notify("node", "updated"), "node updated p");
    EXPECT_EQ(notify("NODE", "created"), "nothing");
    EXPECT_EQ(notify("TRACKABLE_OBJECT_GROUPS", "created"), "nothing");
    EXPECT_EQ(notify("trackable_object_groups", "updated"), "groups updated p");
    EXPECT_EQ(notify("TRACKABLE_OBJECT_ASSOCIATION", "created"), "association created p");
    EXPECT_EQ(notify("TRACKABLE_OBJECT_ASSOCIATION", "deleted"), "nothing");
    EXPECT_EQ(notify("ALARM", "created"), "nothing");
    EXPECT_EQ(notify("ZONE", "renamed"), "nothing");
    EXPECT_EQ(notify("SUBLOCATION", "created"), "nothing");
}

TEST_F(context_updater_test, the_last_registration_wins_and_alarms_register_nothing) {
    m_updater.on_zone_updating(record("first"));
    m_updater.on_zone_updating(record("second"));
    EXPECT_EQ(notify("ZONE", "updated"), "second p");
    m_updater.on_creating(object_infos::alarm, record("alarm"));
    m_updater.on_updating(object_infos::alarm, record("alarm"));
    EXPECT_EQ(notify("ALARM", "created"), "nothing");
    EXPECT_EQ(notify("", "created"), "nothing");
}

TEST_F(context_updater_test, rejects_malformed_messages_checking_object_before_action) {
    EXPECT_TRUE(error_of("{").starts_with("parse_error: "));
    EXPECT_EQ(error_of(R"({"object": 42})"), "\"object\" is not a string!");
    EXPECT_EQ(error_of(R"({"action": "created"})"), "\"object\" is not a string!");
    EXPECT_EQ(error_of(R"({"object": "ZONE"})"), "\"action\" is not a string!");
    EXPECT_THROW(m_updater.handle_notify("[1, 2]"), std::exception);
    EXPECT_THROW(m_updater.handle_notify("5"), std::exception);
}

TEST_F(context_updater_test, positions_go_to_the_position_callback) {
    std::vector<std::string> positions;
    m_updater.handle_pos("{}");
    m_updater.on_pos([&](const json_notify& _message) {
        positions.push_back(_message.get_json().isObject() ? "object" : "other");
    });
    m_updater.handle_pos("{}");
    EXPECT_EQ(positions, std::vector<std::string>{"object"});
    try {
        m_updater.handle_pos("{");
        FAIL() << "no exception";
    } catch (const core::exception& e) {
        EXPECT_TRUE(e.get_string_error().starts_with("parse_error: "));
    }
}

} // namespace
} // namespace nkp::libs::context_utils
