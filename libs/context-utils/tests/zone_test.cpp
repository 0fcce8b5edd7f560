#include "objects/zone_impl.hpp"

#include "core/json.hpp"

#include <gtest/gtest.h>

#include <boost/optional/optional_io.hpp>

namespace nkp::libs::context_utils::objects {
namespace {

Json::Value parse(const std::string& _text) {
    return core::json::parse(_text, CORE_SOURCE_LOCATION);
}

const char* const FULL_ZONE = R"({
    "uid": "z-1", "project_uid": "p-1", "zone_id": 12, "name": "Hall", "sublocation_uid": "s-1",
    "active": true, "shape": "polygon", "zone_type_name": "restricted", "zone_alarm_level": 2,
    "sublocation_id": 4, "zone_type_id": 7, "default_allowed": false, "priority": -3,
    "updated_at": "2024-03-05T14:07:09.042Z", "trackable_object_uid": "t-9",
    "zone_geometry": {"radius": 5.5, "positions": [{"x": 1, "y": 2}, 3, {"x": 4.9, "y": -5}]},
    "trackables_in_zone": [
        {"uid": "a", "entered": {"x": 1, "y": 2, "z": 3, "time": "2024-03-05T14:00:00.000Z"}},
        7,
        {"uid": "b"}
    ],
    "zone_exceptions": ["z2", "z1", 7], "zone_exceptions_groups": [],
    "user_params": {"max_occupancy": 3}
})";

TEST(zone, reads_every_field_of_a_rest_element) {
    const zone_impl zone{json_object(parse(FULL_ZONE))};
    EXPECT_EQ(zone.get_uid(), "z-1");
    EXPECT_EQ(zone.get_project_uid(), "p-1");
    EXPECT_EQ(zone.get_zone_id(), 12u);
    EXPECT_EQ(zone.get_name(), "Hall");
    EXPECT_EQ(*zone.get_sublocation_uid(), "s-1");
    EXPECT_TRUE(zone.get_active());
    EXPECT_EQ(zone.get_shape(), "polygon");
    EXPECT_EQ(zone.get_zone_type_name(), "restricted");
    EXPECT_EQ(zone.get_zone_alarm_level(), 2u);
    EXPECT_EQ(zone.get_sublocation_id(), 4u);
    EXPECT_EQ(zone.get_zone_type_id(), 7u);
    EXPECT_FALSE(zone.get_default_allowed());
    EXPECT_EQ(zone.get_priority(), -3);
    EXPECT_EQ(zone.get_updated_at(), *core::timestamp::try_parse("2024-03-05T14:07:09.042Z"));
    EXPECT_EQ(*zone.get_trackable_object_uid(), "t-9");
    EXPECT_EQ(zone.get_zone_geometry().get_radius(), 5);
    std::vector<std::pair<int, int>> points;
    EXPECT_TRUE(zone.get_zone_geometry().for_each_point([&](const zone::point& _point) {
        points.emplace_back(_point.get_x(), _point.get_y());
        return true;
    }));
    EXPECT_EQ(points, (std::vector<std::pair<int, int>>{{1, 2}, {4, -5}}));
    EXPECT_EQ(zone.get_zone_exceptions(), (std::vector<std::string>{"z1", "z2"}));
    EXPECT_TRUE(zone.get_zone_exceptions_groups().empty());
    ASSERT_TRUE(zone.get_user_params());
    EXPECT_EQ(zone.get_user_params()->get_max_occupancy(), 3u);
}

TEST(zone, walks_the_trackables_inside_and_names_entered_fields) {
    const zone_impl zone{json_object(parse(FULL_ZONE))};
    std::vector<std::string> uids;
    EXPECT_TRUE(zone.for_each_trackable_in_zone([&](const zone::trackable_in_zone& _inside) {
        uids.push_back(_inside.get_uid());
        if (_inside.get_uid() == "a") {
            EXPECT_EQ(_inside.get_x(), 1);
            EXPECT_EQ(_inside.get_z(), 3);
            EXPECT_EQ(_inside.get_time(), *core::timestamp::try_parse("2024-03-05T14:00:00Z"));
        } else {
            try {
                _inside.get_x();
                ADD_FAILURE() << "no exception";
            } catch (const core::exception& e) {
                EXPECT_EQ(e.get_string_error(), "\"entered.x\" is not a number!");
            }
        }
        return true;
    }));
    EXPECT_EQ(uids, (std::vector<std::string>{"a", "b"}));
    int calls = 0;
    EXPECT_FALSE(zone.for_each_trackable_in_zone([&](const auto&) { return ++calls == 0; }));
    EXPECT_EQ(calls, 1);

    const zone_impl empty{json_object(parse("{}"))};
    EXPECT_TRUE(empty.for_each_trackable_in_zone([](const auto&) -> bool { throw 1; }));
}

struct max_occupancy_case {
    std::string user_params;
    std::optional<unsigned int> expected;  // nothing: no user parameters at all
    bool has_user_params;
};

class zone_max_occupancy : public testing::TestWithParam<max_occupancy_case> {};

TEST_P(zone_max_occupancy, is_any_number_as_unsigned) {
    const auto text = GetParam().user_params.empty()
                          ? std::string("{}")
                          : R"({"user_params": )" + GetParam().user_params + "}";
    const zone_impl zone{json_object(parse(text))};
    const auto params = zone.get_user_params();
    ASSERT_EQ(params.has_value(), GetParam().has_user_params);
    if (params) {
        const auto max = params->get_max_occupancy();
        EXPECT_EQ(max.has_value(), GetParam().expected.has_value());
        if (max) {
            EXPECT_EQ(*max, *GetParam().expected);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(values, zone_max_occupancy,
                         testing::Values(max_occupancy_case{R"({"max_occupancy": 3})", 3u, true},
                                         max_occupancy_case{R"({"max_occupancy": "3"})", {}, true},
                                         max_occupancy_case{R"({"max_occupancy": 2.7})", 2u, true},
                                         max_occupancy_case{R"({})", {}, true},
                                         max_occupancy_case{"null", {}, false},
                                         max_occupancy_case{"", {}, false}));

TEST(zone, a_zone_from_a_message_takes_its_time_from_the_message) {
    const zone_impl zone{json_notify(parse(R"({"object": "ZONE", "action": "updated",
        "ts": 1709647629, "ms": 5,
        "plist": {"uid": "z-1", "updated_at": "2001-01-01T00:00:00.000Z"}})"))};
    EXPECT_EQ(zone.get_uid(), "z-1");
    EXPECT_EQ(zone.get_updated_at(), core::timestamp(1709647629, 5));

    const zone_impl without_plist{json_notify(parse(R"({"ts": 1, "ms": 2})"))};
    EXPECT_THROW(without_plist.get_uid(), core::exception);
    EXPECT_FALSE(without_plist.get_sublocation_uid());
}

TEST(zone, a_malformed_field_throws_on_each_read_and_leaves_the_others_readable) {
    const zone_impl zone{json_object(parse(R"({"uid": "z", "zone_type_name": 5,
        "zone_alarm_level": -3, "updated_at": "soon", "zone_geometry": [1]})"))};
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            zone.get_zone_type_name();
            FAIL() << "no exception";
        } catch (const core::exception& e) {
            EXPECT_EQ(e.get_string_error(), "\"zone_type_name\" is not a string!");
        }
    }
    EXPECT_EQ(zone.get_uid(), "z");
    const auto message_of = [](const std::function<void()>& _read) {
        try {
            _read();
        } catch (const core::exception& e) {
            return e.get_string_error();
        }
        return std::string();
    };
    EXPECT_EQ(message_of([&] { zone.get_zone_alarm_level(); }),
              "\"zone_alarm_level\" is not an unsigned int!");
    EXPECT_EQ(message_of([&] { zone.get_updated_at(); }), "failed to parse timestamp: \"updated_at\"");
    EXPECT_EQ(message_of([&] { zone.get_zone_geometry(); }), "\"zone_geometry\" is not an object!");
    EXPECT_EQ(message_of([&] { zone.get_zone_exceptions(); }), "\"zone_exceptions\" is not an array!");
    EXPECT_EQ(message_of([&] { zone.get_active(); }), "\"active\" is not a bool!");
}

} // namespace
} // namespace nkp::libs::context_utils::objects
