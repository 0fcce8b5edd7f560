#include "objects/node_impl.hpp"
#include "objects/sublocation_impl.hpp"
#include "objects/trackable_object_impl.hpp"
#include "objects/win_anchor_impl.hpp"

#include "core/json.hpp"

#include <gtest/gtest.h>

#include <boost/optional/optional_io.hpp>

namespace nkp::libs::context_utils::objects {
namespace {

Json::Value parse(const std::string& _text) {
    return core::json::parse(_text, CORE_SOURCE_LOCATION);
}

std::string error_of(const std::function<void()>& _read) {
    try {
        _read();
    } catch (const core::exception& e) {
        return e.get_string_error();
    }
    return {};
}

TEST(trackable_object, reads_its_fields_and_its_tag_configuration) {
    const trackable_object_impl object{json_object(parse(R"({
        "uid": "t-1", "name": "Forklift", "node": {"responsive": true, "mac_address": "aa"},
        "project_uid": "p", "company_uid": "c",
        "position": {"x": 1.5, "y": 2, "z": -3, "sl_id": "s-1"},
        "updated_at": "2024-03-05T14:07:09.042Z", "groups": ["g2", "g1"], "default_height": 1.9,
        "type": "asset", "category": "vehicle",
        "tag_config": {"stationary": false,
                       "t2t_no_alarm": [{"mac": "m1"}, 5, {"nomac": 1}],
                       "t2t_cfg": {"role": "master", "distance": 3.7, "delay": 2, "buzzer": true}}
    })"))};
    EXPECT_EQ(object.get_uid(), "t-1");
    EXPECT_TRUE(object.get_node()->get_responsive());
    EXPECT_EQ(object.get_node()->get_mac_address(), "aa");
    EXPECT_EQ(object.get_position()->get_x(), 1);
    EXPECT_EQ(object.get_position()->get_sl_id(), "s-1");
    EXPECT_EQ(object.get_updated_at(), *core::timestamp::try_parse("2024-03-05T14:07:09.042Z"));
    EXPECT_FALSE(object.get_self_zone_uid());
    EXPECT_EQ(*object.get_groups(), (std::vector<std::string>{"g1", "g2"}));
    EXPECT_EQ(object.get_default_height(), 1);
    EXPECT_EQ(object.get_category(), "vehicle");
    const auto& config = object.get_tag_config();
    EXPECT_FALSE(config.get_stationary());
    std::vector<std::string> macs;
    const auto message = error_of([&] {
        config.for_each_t2t_no_alarm_item([&](const auto& _item) {
            macs.push_back(_item.get_mac());
            return true;
        });
    });
    EXPECT_EQ(macs, std::vector<std::string>{"m1"});
    EXPECT_EQ(message, "\"t2t_no_alarm.mac\" is not a string!");
    const auto cfg = config.get_t2t_cfg();
    ASSERT_TRUE(cfg);
    EXPECT_EQ(*cfg->get_role(), "master");
    EXPECT_EQ(cfg->get_distance(), 3u);
    EXPECT_EQ(cfg->get_delay(), 2u);
    EXPECT_EQ(cfg->get_buzzer(), true);
    EXPECT_FALSE(cfg->get_haptic());
    EXPECT_FALSE(cfg->get_pin());
}

TEST(trackable_object, optional_and_required_parts_when_absent) {
    const trackable_object_impl bare{json_object(parse(R"({"uid": "t"})"))};
    EXPECT_FALSE(bare.get_groups());
    EXPECT_FALSE(bare.get_node());
    EXPECT_EQ(error_of([&] { bare.get_tag_config(); }), "\"tag_config\" is not an object!");
    const trackable_object_impl minimal{json_object(parse(R"({"tag_config": {}})"))};
    EXPECT_FALSE(minimal.get_tag_config().get_t2t_cfg());
    EXPECT_TRUE(
        minimal.get_tag_config().for_each_t2t_no_alarm_item([](const auto&) -> bool { throw 1; }));
}

TEST(win_anchor, from_a_message_takes_the_message_time) {
    const win_anchor_impl anchor{json_notify(parse(R"({"ts": 100, "ms": 7, "plist": {
        "uid": "w", "sublocation_uid": "s", "updated_at": "2001-01-01T00:00:00Z",
        "node": {"node_id": 3, "mac_address": "m", "responsive": false},
        "position": {"x": 1, "y": 2, "z": 3}}})"))};
    EXPECT_EQ(anchor.get_updated_at(), core::timestamp(100, 7));
    EXPECT_EQ(anchor.get_sublocation_uid(), "s");
    EXPECT_EQ(anchor.get_node()->get_node_id(), 3u);
    EXPECT_EQ(anchor.get_position()->get_z(), 3);
    EXPECT_EQ(error_of([&] { anchor.get_name(); }), "\"name\" is not a string!");
}

TEST(sublocation, with_only_uid_and_time_reads_fully) {
    const sublocation_impl sublocation{
        json_object(parse(R"({"uid": "s", "updated_at": "2024-03-05T14:07:09Z"})"))};
    EXPECT_EQ(sublocation.get_uid(), "s");
    EXPECT_EQ(sublocation.get_updated_at().get_ts(), 1709647629);
    EXPECT_FALSE(sublocation.get_name());
    EXPECT_FALSE(sublocation.get_project_name());
    EXPECT_FALSE(sublocation.get_project_uid());
    EXPECT_FALSE(sublocation.get_company_uid());
    EXPECT_FALSE(sublocation.get_location_uid());
    EXPECT_FALSE(sublocation.get_id());
    EXPECT_FALSE(sublocation.get_offset_x());
    EXPECT_FALSE(sublocation.get_offset_y());
    EXPECT_FALSE(sublocation.get_offset_z());
    const sublocation_impl offset{json_object(parse(R"({"offset_x": -2.5, "id": 4})"))};
    EXPECT_EQ(offset.get_offset_x(), -2);
    EXPECT_EQ(offset.get_id(), 4u);
}

TEST(node, reads_its_status) {
    const node_impl node{
        json_object(parse(R"({"uid": "n", "mac_address": "m", "status": {"ext_pow": true}})"))};
    EXPECT_EQ(node.get_mac_address(), "m");
    EXPECT_TRUE(node.get_status()->get_ext_pow());
    const node_impl bare{json_object(parse(R"({"status": 1})"))};
    EXPECT_FALSE(bare.get_status());
    EXPECT_EQ(error_of([&] { bare.get_updated_at(); }), "\"updated_at\" is not a string!");
}

} // namespace
} // namespace nkp::libs::context_utils::objects
