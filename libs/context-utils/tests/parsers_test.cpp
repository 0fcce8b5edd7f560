#include "parsers/alarm_impl.hpp"
#include "parsers/iso8601_time.hpp"
#include "parsers/message_views.hpp"
#include "parsers/parser_utils.hpp"
#include "parsers/trackable_object_impl.hpp"
#include "parsers/zone_impl.hpp"

#include "core/exception.hpp"
#include "core/json.hpp"

#include <gtest/gtest.h>

#include <boost/range/algorithm/copy.hpp>

#include <functional>

namespace nkp::libs::context_utils::parsers {
namespace {

Json::Value parse(const std::string& _text) {
    return core::json::parse(_text, CORE_SOURCE_LOCATION);
}

// The message of what the call throws, or "" when it throws nothing.
std::string thrown(const std::function<void()>& _call) {
    try {
        _call();
    } catch (const core::exception& e) {
        return "exception: " + e.get_string_error();
    } catch (const std::logic_error& e) {
        return e.what();
    }
    return {};
}

std::vector<std::string> texts(const strings_range& _range) {
    std::vector<std::string> result;
    boost::copy(_range, std::back_inserter(result));
    return result;
}

TEST(iso8601_time, reads_the_fixed_layout_as_utc) {
    const auto time = iso8601_time::parse_time("2024-03-05T14:07:09.042Z");
    ASSERT_TRUE(time);
    EXPECT_EQ(time->ts, 1709647629u);
    EXPECT_EQ(time->ms, 42u);
    EXPECT_FALSE(iso8601_time::parse_time("2024-03-05T14:07:09Z"));
    EXPECT_FALSE(iso8601_time::parse_time(""));
}

struct utils_case {
    std::string name;
    std::function<void(const Json::Value&)> read;
    std::string expected;
};

void PrintTo(const utils_case& _case, std::ostream* _os) {
    *_os << _case.name;
}

class parser_utils_errors : public testing::TestWithParam<utils_case> {};

TEST_P(parser_utils_errors, name_the_field_and_its_type) {
    const auto json = parse(R"({"s": 1, "b": "x", "i": 1.5, "n": true, "u": -1, "t": "soon",
                                "ok": "2024-03-05T14:07:09.042Z"})");
    EXPECT_EQ(thrown([&] { GetParam().read(json); }), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    getters, parser_utils_errors,
    testing::Values(utils_case{"string", [](const auto& _j) { parser_utils::get_string(_j, "s"); },
                               "context-utils: \"s\" is not a string!"},
                    utils_case{"bool", [](const auto& _j) { parser_utils::get_bool(_j, "b"); },
                               "context-utils: \"b\" is not a bool!"},
                    utils_case{"int", [](const auto& _j) { parser_utils::get_int(_j, "i"); },
                               "context-utils: \"i\" is not an int!"},
                    utils_case{"number",
                               [](const auto& _j) { parser_utils::get_number(_j, "n", "data.n"); },
                               "context-utils: \"data.n\" is not a number!"},
                    utils_case{"uint", [](const auto& _j) { parser_utils::get_uint(_j, "u"); },
                               "context-utils: \"u\" is not an uint!"},
                    utils_case{"timestamp_text",
                               [](const auto& _j) { parser_utils::get_iso8601_timestamp(_j, "t"); },
                               "context-utils: failed to parse timestamp: \"t\""},
                    utils_case{"timestamp_type",
                               [](const auto& _j) { parser_utils::get_iso8601_timestamp(_j, "s"); },
                               "context-utils: \"s\" is not a string!"},
                    utils_case{"timestamp_ok",
                               [](const auto& _j) {
                                   EXPECT_EQ(parser_utils::get_iso8601_timestamp(_j, "ok"),
                                             core::timestamp(1709647629, 42));
                               },
                               ""},
                    utils_case{"try_forms",
                               [](const auto& _j) {
                                   EXPECT_FALSE(parser_utils::try_get_string(_j, "s"));
                                   EXPECT_FALSE(parser_utils::try_get_uint(_j, "u"));
                                   EXPECT_EQ(parser_utils::try_get_number(_j, "i"), 1);
                                   EXPECT_FALSE(parser_utils::try_get_iso8601_timestamp(_j, "t"));
                               },
                               ""}),
    [](const testing::TestParamInfo<utils_case>& _info) { return _info.param.name; });

TEST(zone_parser, reads_anew_from_a_rest_element) {
    const auto json = parse(R"({"uid": "z", "zone_alarm_level": 2, "priority": -1,
        "updated_at": "2024-03-05T14:07:09.042Z", "zone_exceptions": ["b", "a"],
        "zone_geometry": {"radius": 2.5, "positions": [{"x": 1, "y": 2}]},
        "trackables_in_zone": [{"uid": "t", "entered": {"x": 1, "y": 2, "z": 3,
                                 "time": "2024-03-05T14:00:00.000Z"}}, {"uid": "u"}]})");
    const zone_impl zone(json, nullptr);
    EXPECT_EQ(zone.get_uid(), "z");
    EXPECT_EQ(zone.get_ts(), 1709647629u);
    EXPECT_EQ(zone.get_ms(), 42u);
    EXPECT_EQ(zone.get_radius(), 2);
    EXPECT_EQ(texts(zone.get_zone_exceptions()), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(thrown([&] { zone.get_zone_exceptions_groups(); }),
              "context-utils: zone_exceptions_groups is not an array!");
    EXPECT_FALSE(zone.get_sublocation_uid());
    std::vector<std::string> inside;
    EXPECT_TRUE(zone.for_each_trackable_in_zone([&](const zone::trackable_in_zone& _t) {
        inside.push_back(_t.get_uid());
        if (_t.get_uid() == "t") {
            EXPECT_EQ(_t.get_z(), 3);
            EXPECT_EQ(_t.get_time(), core::timestamp(1709647200, 0));
        } else {
            EXPECT_EQ(thrown([&] { _t.get_x(); }), "context-utils: \"entered.x\" is not a number!");
        }
        return true;
    }));
    EXPECT_EQ(inside, (std::vector<std::string>{"t", "u"}));
    int points = 0;
    EXPECT_FALSE(zone.for_each_point([&](const zone::point& _p) {
        EXPECT_EQ(_p.get_y(), 2);
        return ++points == 0;
    }));
    // Nothing cached: a getter fails each time.
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(thrown([&] { zone.get_name(); }), "context-utils: \"name\" is not a string!");
    }
}

TEST(zone_parser, from_a_message_takes_the_message_time) {
    const auto message = parse(R"({"ts": 100, "ms": 5, "plist": {"updated_at": "garbage"}})");
    const zone_impl zone(message["plist"], &message);
    EXPECT_EQ(zone.get_ts(), 100u);
    EXPECT_EQ(zone.get_ms(), 5u);
}

TEST(trackable_object_parser, reads_nested_parts_when_present) {
    const auto json = parse(R"({"uid": "t", "node": {"responsive": true},
        "position": {"x": 1.5, "sl_id": "s"}, "groups": ["g2", "g1"], "default_height": 1.9,
        "tag_config": {"stationary": true, "t2t_no_alarm": ["m1"],
                       "t2t_cfg": {"distance": 3.9, "delay": 4, "role": "r"}}})");
    const trackable_object_impl object(json, nullptr);
    EXPECT_EQ(object.get_responsive(), true);
    EXPECT_FALSE(object.get_mac_address());
    EXPECT_EQ(object.get_x(), 1);
    EXPECT_FALSE(object.get_y());
    EXPECT_EQ(object.get_sublocation_uid(), "s");
    EXPECT_EQ(texts(*object.get_groups()), (std::vector<std::string>{"g2", "g1"}));
    EXPECT_EQ(object.get_default_height(), 1);
    const auto config = object.get_tag_config();
    EXPECT_TRUE(config->get_stationary());
    EXPECT_EQ(texts(*config->get_t2t_no_alarm()), std::vector<std::string>{"m1"});
    ASSERT_NE(config->get_t2t_cfg(), nullptr);
    EXPECT_EQ(config->get_t2t_cfg()->get_distance(), 3u);
    EXPECT_EQ(config->get_t2t_cfg()->get_delay(), 4u);
    EXPECT_EQ(config->get_t2t_cfg()->get_role(), "r");
    EXPECT_FALSE(config->get_t2t_cfg()->get_buzzer());

    const auto bare_json = parse(R"({"groups": 1})");
    const trackable_object_impl bare(bare_json, nullptr);
    EXPECT_FALSE(bare.get_groups());
    EXPECT_EQ(bare.get_tag_config()->get_t2t_cfg(), nullptr);
    EXPECT_FALSE(bare.get_tag_config()->get_t2t_no_alarm());
}

TEST(alarm_parser, reads_rest_and_message_times_and_names_failures) {
    const auto json = parse(R"({"uid": "a", "ts": "2024-03-05T14:07:09.042Z",
        "additional_info": {"text": "over", "zone_alarm_level": 2, "zone_uid": "z"}, "x": 4})");
    const alarm_impl alarm(json, nullptr);
    EXPECT_EQ(alarm.get_uid(), "a");
    EXPECT_EQ(alarm.get_text(), "over");
    EXPECT_EQ(alarm.get_zone_alarm_level(), 2u);
    EXPECT_EQ(alarm.get_zone_uid(), "z");
    EXPECT_FALSE(alarm.get_zone_violation_type());
    EXPECT_EQ(alarm.get_ts(), 1709647629u);
    EXPECT_EQ(alarm.get_ms(), 42u);
    EXPECT_EQ(alarm.get_x(), 4);
    EXPECT_FALSE(alarm.get_y());
    EXPECT_EQ(thrown([&] { alarm.get_obj_uid(); }), "context-utils: obj_uid is not a string!");
    EXPECT_EQ(thrown([&] { alarm.get_mac_address(); }),
              "context-utils: mac_address is not a string!");

    const auto bad = parse(R"({"ts": "later", "additional_info": {}})");
    const alarm_impl bad_alarm(bad, nullptr);
    EXPECT_EQ(thrown([&] { bad_alarm.get_ts(); }),
              "context-utils: failed to parse timestamp: \"ts\"");
    EXPECT_EQ(thrown([&] { bad_alarm.get_text(); }),
              "context-utils: additional_info.text is not a string!");

    const auto message = parse(R"({"ts": 7, "ms": "x", "plist": {}})");
    const alarm_impl from_message(message["plist"], &message);
    EXPECT_EQ(from_message.get_ts(), 7u);
    EXPECT_EQ(thrown([&] { from_message.get_ms(); }), "context-utils: ms is not an int!");
}

TEST(groups_parser, walks_added_and_removed_groups_by_uid) {
    const auto message = parse(R"({"ts": 10, "ms": 20, "project_uid": "p", "plist": {
        "g2": {"action": "ADD_GROUP", "trackableObject": "t2"},
        "g1": {"action": "REMOVE_GROUP", "trackableObject": "t1"},
        "g3": {"action": "ADD_GROUP"}}})");
    const trackable_object_groups_impl groups(message["plist"], message);
    EXPECT_EQ(groups.get_ts(), core::timestamp(10, 20));
    EXPECT_EQ(groups.get_project_uid(), "p");
    std::vector<std::string> added;
    std::vector<std::string> removed;
    groups.for_each_added_group([&](const auto& _group) {
        added.push_back(_group.get_uid());
        return true;
    });
    groups.for_each_removed_group([&](const auto& _group) {
        removed.push_back(_group.get_uid() + ":" + _group.get_trackable_object_uid());
        return true;
    });
    EXPECT_EQ(added, (std::vector<std::string>{"g2", "g3"}));
    EXPECT_EQ(removed, std::vector<std::string>{"g1:t1"});
    EXPECT_EQ(thrown([&] {
                  groups.for_each_added_group([](const auto& _group) {
                      _group.get_trackable_object_uid();
                      return true;
                  });
              }),
              "context-utils::group_impl: trackableObject is not a string!");
    EXPECT_FALSE(groups.for_each_added_group([](const auto&) { return false; }));
}

TEST(association_parser, a_removal_in_the_far_future_means_none) {
    const auto message = parse(R"({"ts": 1, "ms": 2, "plist": {"project_uid": "p",
        "mac_address": "m", "trob_uid": "t", "created_at": "2024-03-05T14:07:09.042Z",
        "removed_at": "9999-12-31T23:59:59.000Z"}})");
    const trackable_object_association_impl association(message["plist"], message);
    EXPECT_EQ(association.get_trackable_object_uid(), "t");
    EXPECT_EQ(association.get_created_at(), core::timestamp(1709647629, 42));
    EXPECT_FALSE(association.get_removed_at());

    const auto ended = parse(R"({"plist": {"removed_at": "2024-03-05T14:07:09.042Z"}})");
    EXPECT_EQ(trackable_object_association_impl(ended["plist"], ended).get_removed_at(),
              core::timestamp(1709647629, 42));
    const auto open = parse(R"({"ts": "1", "plist": {"created_at": "bad"}})");
    const trackable_object_association_impl broken(open["plist"], open);
    EXPECT_EQ(thrown([&] { broken.get_removed_at(); }),
              "context-utils: removed_at is not a string!");
    EXPECT_EQ(thrown([&] { broken.get_created_at(); }),
              "context-utils: failed to parse timestamp: \"created_at\"");
    EXPECT_EQ(thrown([&] { broken.get_ts(); }), "context-utils: ts is not an int!");
}

TEST(pos_parser, reads_the_position_and_throws_the_library_exception) {
    const auto message = parse(R"({"tk_uid": "t", "ts": "2024-03-05T14:07:09.042Z",
        "data": {"x": 1.5, "y": 2, "z": 3, "type": "uwb", "sl_uid": "s", "fom": 4, "mac": "m"}})");
    const pos_impl pos(message);
    EXPECT_EQ(pos.get_trackable_uid(), "t");
    EXPECT_EQ(pos.get_ts(), core::timestamp(1709647629, 42));
    EXPECT_EQ(pos.get_x(), 1);
    EXPECT_EQ(pos.get_fom(), 4u);
    EXPECT_EQ(pos.get_sublocation_uid(), "s");

    const auto bad = parse(R"({"data": {"fom": -1, "x": "1"}})");
    const pos_impl bad_pos(bad);
    EXPECT_EQ(thrown([&] { bad_pos.get_trackable_uid(); }),
              "exception: context-utils: pos: tk_uid is not a string!");
    EXPECT_EQ(thrown([&] { bad_pos.get_x(); }),
              "exception: context-utils: pos: data.x is not a number!");
    EXPECT_EQ(thrown([&] { bad_pos.get_fom(); }),
              "exception: context-utils: pos: data.fom is not an uint!");
    EXPECT_EQ(thrown([&] { bad_pos.get_mac(); }),
              "exception: context-utils: pos: data.mac is not a string!");
}

} // namespace
} // namespace nkp::libs::context_utils::parsers
