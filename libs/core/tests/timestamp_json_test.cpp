#include "core/exception.hpp"
#include "core/json.hpp"
#include "core/stl.hpp"
#include "core/timestamp.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace nkp::libs::core {
namespace {

using std::chrono::milliseconds;

struct parse_case {
    std::string text;
    std::optional<std::int64_t> expected_ms;
};

void PrintTo(const parse_case& _case, std::ostream* _os) {
    *_os << '"' << _case.text << '"';
}

class timestamp_parsing : public testing::TestWithParam<parse_case> {};

TEST_P(timestamp_parsing, reads_utc_and_ignores_what_follows_the_seconds) {
    const auto parsed = timestamp::try_parse(GetParam().text);
    ASSERT_EQ(parsed.has_value(), GetParam().expected_ms.has_value());
    if (parsed) {
        EXPECT_EQ(parsed->get_time_since_epoch().count(), *GetParam().expected_ms);
    }
}

INSTANTIATE_TEST_SUITE_P(texts, timestamp_parsing,
                         testing::Values(parse_case{"2024-03-05T14:07:09.042Z", 1709647629042},
                                         parse_case{"2024-03-05 14:07:09", 1709647629000},
                                         parse_case{"2024-03-05T14:07:09.042+03:00", 1709647629042},
                                         parse_case{"2024-03-05T14:07:09.123456", 1709647629123},
                                         parse_case{"2024-03-05T14:07:60", 1709647680000},
                                         parse_case{"2024-03-05T14:07", std::nullopt},
                                         parse_case{"", std::nullopt},
                                         parse_case{"abc", std::nullopt}));

TEST(timestamp, parsing_does_not_read_past_the_view) {
    const std::string text = "2024-03-05T14:07:09.042Z";
    // A view that ends before the seconds: the rest of the buffer must not be read.
    EXPECT_FALSE(timestamp::try_parse(std::string_view(text).substr(0, 16)));
}

TEST(timestamp, constructor_rejects_bad_text_with_its_quote) {
    try {
        timestamp{std::string_view("abc")};
        FAIL() << "no exception";
    } catch (const exception& e) {
        EXPECT_EQ(e.get_string_error(), "timestamp: \"abc\" is invalid!");
    }
    EXPECT_EQ(timestamp(std::string_view("2024-03-05 14:07:09")).get_ts(), 1709647629);
}

TEST(timestamp, writes_iso_8601_in_every_form) {
    const timestamp time(milliseconds(1709647629042));
    EXPECT_EQ(time.get_ts(), 1709647629);
    EXPECT_EQ(time.get_ms(), 42u);
    EXPECT_EQ(time.to_iso_8601(false, 'T', false), "2024-03-05T14:07:09");
    EXPECT_EQ(time.to_iso_8601(true, ' ', false), "2024-03-05 14:07:09.042");
    EXPECT_EQ(time.to_iso_8601(true, 'T', true), "2024-03-05T14:07:09.042Z");
    EXPECT_EQ(timestamp(1709647629, 42), time);
    EXPECT_EQ(timestamp().get_time_since_epoch().count(), 0);
}

TEST(timestamp, current_time_is_now) {
    const auto before = std::chrono::system_clock::now();
    const auto now = timestamp::current_time();
    const auto after = std::chrono::system_clock::now();
    EXPECT_GE(now.get_time_since_epoch(),
              std::chrono::floor<milliseconds>(before.time_since_epoch()));
    EXPECT_LE(now.get_time_since_epoch(),
              std::chrono::ceil<milliseconds>(after.time_since_epoch()));
}

TEST(json, try_parse_reports_errors_without_throwing) {
    const auto bad = json::try_parse("{");
    EXPECT_FALSE(bad.ok);
    EXPECT_FALSE(bad.error.empty());
    EXPECT_TRUE(bad.result.isNull());

    const auto good = json::try_parse(R"({"a": [1, "x"]} // trailing comment)");
    EXPECT_TRUE(good.ok);
    EXPECT_TRUE(good.error.empty());
    EXPECT_EQ(good.result["a"][1].asString(), "x");
}

TEST(json, parse_throws_at_the_callers_location) {
    const auto location = CORE_SOURCE_LOCATION;
    try {
        json::parse("[1,", location);
        FAIL() << "no exception";
    } catch (const exception& e) {
        EXPECT_TRUE(e.get_string_error().starts_with("parse error: "));
        EXPECT_EQ(e.get_source_location().line(), location.line());
    }
    EXPECT_EQ(json::parse("{}", location), Json::Value(Json::objectValue));
}

TEST(json, to_string_is_compact_and_round_trips) {
    const auto value =
        json::parse(R"({ "b" : [ 1, 2 ], "a" : { "c" : "d" } })", CORE_SOURCE_LOCATION);
    EXPECT_EQ(json::to_string(value), R"({"a":{"c":"d"},"b":[1,2]})");
    EXPECT_EQ(json::parse(json::to_string(value), CORE_SOURCE_LOCATION), value);
}

TEST(json, as_string_view_only_views_strings) {
    const Json::Value text(std::string("with\0nul", 8));
    EXPECT_EQ(json::as_string_view(text), std::string_view("with\0nul", 8));
    EXPECT_TRUE(json::as_string_view(Json::Value(5)).empty());
    EXPECT_TRUE(json::as_string_view(Json::Value()).empty());
}

TEST(lookup, finds_without_inserting_and_by_view_with_a_transparent_map) {
    std::map<std::string, int, std::less<>> values{{"a", 1}};
    auto found = lookup(values, std::string_view("a"));
    ASSERT_TRUE(found);
    *found = 2;
    EXPECT_EQ(values.at("a"), 2);
    EXPECT_FALSE(lookup(values, std::string_view("b")));
    EXPECT_EQ(values.size(), 1u);

    const auto& constant = values;
    const auto const_found = lookup(constant, std::string("a"));
    static_assert(std::is_same_v<decltype(const_found), const boost::optional<const int&>>);
    EXPECT_EQ(*const_found, 2);
}

} // namespace
} // namespace nkp::libs::core
