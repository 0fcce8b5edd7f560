#include "context_utils/lazy_value.hpp"

#include "core/json.hpp"

#include <gtest/gtest.h>

#include <boost/optional/optional_io.hpp>

#include <functional>

namespace nkp::libs::context_utils {
namespace {

Json::Value parse(const std::string& _text) {
    return core::json::parse(_text, CORE_SOURCE_LOCATION);
}

// What reading the field "f" of a document gives: the value printed, or the error text.
template <class Kind>
std::string read(const std::string& _document, const char* _description = nullptr) {
    const auto json = parse(_document);
    const lazy_value<Kind> field;
    try {
        return testing::PrintToString(field.get(json, "f", _description));
    } catch (const core::exception& e) {
        return "error: " + e.get_string_error();
    }
}

struct kind_case {
    std::string name;
    std::function<std::string()> read;
    std::string expected;
};

void PrintTo(const kind_case& _case, std::ostream* _os) {
    *_os << _case.name;
}

class lazy_kinds : public testing::TestWithParam<kind_case> {};

TEST_P(lazy_kinds, accept_their_json_and_name_the_field_otherwise) {
    EXPECT_EQ(GetParam().read(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    kinds, lazy_kinds,
    testing::Values(
        kind_case{"string", [] { return read<string_value>(R"({"f": "x"})"); }, "\"x\""},
        kind_case{"string_missing", [] { return read<string_value>("{}"); },
                  "error: \"f\" is not a string!"},
        kind_case{"string_described", [] { return read<string_value>("{}", "entered.f"); },
                  "error: \"entered.f\" is not a string!"},
        kind_case{"bool", [] { return read<bool_value>(R"({"f": true})"); }, "true"},
        kind_case{"bool_of_number", [] { return read<bool_value>(R"({"f": 1})"); },
                  "error: \"f\" is not a bool!"},
        kind_case{"int_negative", [] { return read<int_value>(R"({"f": -3})"); }, "-3"},
        kind_case{"int_of_real", [] { return read<int_value>(R"({"f": 2.5})"); },
                  "error: \"f\" is not an int!"},
        kind_case{"uint_of_integral_real", [] { return read<uint_value>(R"({"f": 5.0})"); }, "5"},
        kind_case{"uint_of_real", [] { return read<uint_value>(R"({"f": 5.5})"); },
                  "error: \"f\" is not an unsigned int!"},
        kind_case{"uint_of_negative", [] { return read<uint_value>(R"({"f": -1})"); },
                  "error: \"f\" is not an unsigned int!"},
        kind_case{"numeric_truncates", [] { return read<numeric_value>(R"({"f": 7.9})"); }, "7"},
        kind_case{"numeric_truncates_toward_zero",
                  [] { return read<numeric_value>(R"({"f": -7.9})"); }, "-7"},
        kind_case{"numeric_of_bool", [] { return read<numeric_value>(R"({"f": true})"); },
                  "error: \"f\" is not a number!"},
        kind_case{"optional_unumeric_of_string",
                  [] { return read<optional_value<unumeric_value>>(R"({"f": "12"})"); }, "--"},
        kind_case{"optional_unumeric", [] { return read<optional_value<unumeric_value>>(R"({"f": 12})"); },
                  " 12"},
        kind_case{"optional_string_missing", [] { return read<optional_value<string_value>>("{}"); },
                  "--"},
        kind_case{"optional_string_null",
                  [] { return read<optional_value<string_value>>(R"({"f": null})"); }, "--"},
        kind_case{"timestamp",
                  [] {
                      return read<timestamp_value>(R"({"f": "2024-03-05T14:07:09.042Z"})");
                  },
                  testing::PrintToString(*core::timestamp::try_parse("2024-03-05T14:07:09.042Z"))},
        kind_case{"timestamp_unparsable", [] { return read<timestamp_value>(R"({"f": "yesterday"})"); },
                  "error: failed to parse timestamp: \"f\""},
        kind_case{"timestamp_not_a_string", [] { return read<timestamp_value>(R"({"f": 5})"); },
                  "error: \"f\" is not a string!"},
        kind_case{"array_of_strings_sorted_and_filtered",
                  [] {
                      return read<array_value<string_value, sort_values>>(R"({"f": ["b", 3, "a"]})");
                  },
                  testing::PrintToString(std::vector<std::string>{"a", "b"})},
        kind_case{"array_not_an_array",
                  [] { return read<array_value<string_value, sort_values>>(R"({"f": "x"})"); },
                  "error: \"f\" is not an array!"}),
    [](const testing::TestParamInfo<kind_case>& _info) { return _info.param.name; });

class point {
public:
    virtual ~point() = default;
    virtual int get_x() const = 0;
};

class point_impl final : public point {
public:
    explicit point_impl(const Json::Value& _json)
        : m_json(_json) {}
    int get_x() const override { return m_x.get(m_json, "x"); }

private:
    const Json::Value& m_json;
    lazy_value<numeric_value> m_x;
};

TEST(lazy_value, arrays_of_objects_keep_their_order_and_skip_other_elements) {
    const auto json = parse(R"({"f": [{"x": 1}, 2, {"x": 3}]})");
    const lazy_value<array_value<object_value<point, point_impl>, do_not_sort_values>> field;
    const auto& points = field.get(json, "f");
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].get_x(), 1);
    EXPECT_EQ(points[1].get_x(), 3);

    const lazy_value<object_value<point, point_impl>> object;
    EXPECT_THROW(object.get(json, "f"), core::exception);
    const lazy_value<optional_value<object_value<point, point_impl>>> optional_object;
    EXPECT_FALSE(optional_object.get(json, "f"));
}

TEST(lazy_value, caches_a_success_and_converts_again_after_a_failure) {
    auto json = parse(R"({"good": "text", "bad": 5})");
    const lazy_value<string_value> good;
    const lazy_value<string_value> bad;
    const std::string& first = good.get(json, "good");
    EXPECT_THROW(bad.get(json, "bad"), core::exception);
    EXPECT_THROW(bad.get(json, "bad"), core::exception);
    // Once cached, the JSON is no longer read.
    json["good"] = "changed";
    EXPECT_EQ(&good.get(json, "good"), &first);
    EXPECT_EQ(first, "text");
    json["bad"] = "fixed";
    EXPECT_EQ(bad.get(json, "bad"), "fixed");
}

TEST(lazy_value, json_library_errors_are_not_caught) {
    const auto json = parse(R"({"big": 1e12, "negative": -1})");
    EXPECT_THROW(lazy_value<numeric_value>().get(json, "big"), std::exception);
    EXPECT_THROW(lazy_value<optional_value<unumeric_value>>().get(json, "negative"), std::exception);
    const auto array = parse("[1]");
    EXPECT_THROW(lazy_value<string_value>().get(array, "f"), std::exception);
}

} // namespace
} // namespace nkp::libs::context_utils
