#include "config_parser/config.hpp"

#include <gtest/gtest.h>

#include <boost/optional/bad_optional_access.hpp>
#include <boost/optional/optional_io.hpp>

#include <functional>
#include <sstream>
#include <stdexcept>

namespace nkp::libs::config {
namespace {

config::ptr parse(const std::string& _text) {
    std::istringstream stream(_text);
    return config::create<type::json>(stream);
}

TEST(config_reader, rejects_text_that_is_not_json) {
    for (const auto* text : {"", "{", "{\"a\": }"}) {
        try {
            parse(text);
            FAIL() << "accepted: " << text;
        } catch (const std::runtime_error& e) {
            EXPECT_TRUE(std::string(e.what()).starts_with("Cannot parse json: ")) << e.what();
            EXPECT_GT(std::string(e.what()).size(), std::string("Cannot parse json: ").size());
        }
    }
}

TEST(config_reader, reads_typed_values_and_ignores_comments) {
    const auto document = parse(R"({
        // a comment
        "s": "text", "b": true, "i": 10.0, "d": 2.5, "n": null,
        "o": {"inner": {"deep": 3}},
        "a": [[1, 2], {"k": "v"}, "x"]
    })");
    EXPECT_EQ(document->get<std::string>("s"), std::string("text"));
    EXPECT_EQ(document->get<bool>("b"), true);
    EXPECT_EQ(document->get<int>("i"), 10);
    EXPECT_EQ(document->get<double>("d"), 2.5);
    EXPECT_EQ(document->get<double>("i"), 10.0);
    EXPECT_EQ(document->get_by_path<int>({"o", "inner", "deep"}).value(), 3);
    EXPECT_EQ(document->get_root().get_keys(),
              (std::vector<std::string>{"a", "b", "d", "i", "n", "o", "s"}));

    const auto array = document->get<value::array>("a");
    ASSERT_TRUE(array);
    ASSERT_EQ(boost::size(*array), 3);
    auto element = array->begin();
    const auto inner = element->as_array();
    ASSERT_TRUE(inner);
    EXPECT_EQ(boost::size(*inner), 2);
    EXPECT_EQ(inner->begin()->as_int(), 1);
    ++element;
    EXPECT_EQ(element->as_object()->get<std::string>("k"), std::string("v"));
    ++element;
    EXPECT_EQ(element->as_string(), std::string("x"));
}

TEST(config_reader, converts_nothing_between_kinds) {
    const auto document = parse(R"({"s": "5", "i": 1, "r": 1.5, "b": false, "n": null, "o": {}})");
    const auto& root = document->get_root();
    EXPECT_FALSE(root.get<int>("s"));
    EXPECT_FALSE(root.get<bool>("i"));
    EXPECT_FALSE(root.get<int>("r"));
    EXPECT_FALSE(root.get<std::string>("i"));
    EXPECT_FALSE(root.get<int>("b"));
    EXPECT_FALSE(root.get<std::string>("n"));
    EXPECT_FALSE(root.get<const dictionary&>("s"));
    EXPECT_FALSE(root.get<value::array>("o"));
    EXPECT_FALSE(root.get<int>("missing"));
    EXPECT_TRUE(root.get<const dictionary&>("o"));
}

TEST(config_reader, integers_past_32_bits_raise_the_json_range_error) {
    const auto document = parse(R"({"big": 4294967296, "huge": 18446744073709551615})");
    EXPECT_THROW(document->get<int>("big"), std::exception);
    EXPECT_THROW(document->get<int>("huge"), std::exception);
}

TEST(config_reader, keeps_the_first_of_duplicate_keys) {
    const auto document = parse(R"({"k": 1, "k": 2})");
    // The JSON library itself keeps the last one; the document sees one key either way.
    EXPECT_EQ(document->get_root().get_keys(), std::vector<std::string>{"k"});
}

TEST(config_reader, a_root_that_is_not_an_object_has_no_keys) {
    const auto document = parse("[1, 2]");
    EXPECT_TRUE(document->get_root().get_keys().empty());
    EXPECT_EQ(document->get_by_path<int>({"a"}).reason(), "Can not find field <int>: a");
}

using reason_of = std::function<std::string(const config&)>;

template <class T>
reason_of reason_at(std::initializer_list<std::string> _path) {
    const std::vector<std::string> path(_path);
    return [path](const config& _document) {
        switch (path.size()) {
        case 1:
            return _document.get_by_path<T>({path[0]}).reason();
        case 2:
            return _document.get_by_path<T>({path[0], path[1]}).reason();
        default:
            return _document.get_by_path<T>({path[0], path[1], path[2]}).reason();
        }
    };
}

struct path_case {
    std::string document;
    reason_of read;
    std::string expected_reason;
};

void PrintTo(const path_case& _case, std::ostream* _os) {
    *_os << _case.document;
}

class path_errors : public testing::TestWithParam<path_case> {};

TEST_P(path_errors, name_the_first_missing_piece) {
    EXPECT_EQ(GetParam().read(*parse(GetParam().document)), GetParam().expected_reason);
}

INSTANTIATE_TEST_SUITE_P(
    documents, path_errors,
    testing::Values(
        path_case{R"({"server": {"timeout": "5"}})", reason_at<int>({"server", "timeout"}),
                  "Can not find field <int>: server.timeout"},
        path_case{R"({})", reason_at<int>({"server", "timeout"}),
                  "Can not find object <object>: server, path: server.timeout"},
        path_case{R"({"server": 3})", reason_at<int>({"server", "timeout"}),
                  "Can not find object <object>: server, path: server.timeout"},
        path_case{R"({"a": {}})", reason_at<std::string>({"a", "b", "c"}),
                  "Can not find object <object>: a.b, path: a.b.c"},
        path_case{R"({"a": {"b": 1}})", reason_at<std::string>({"a", "b", "c"}),
                  "Can not find object <object>: a.b, path: a.b.c"},
        path_case{R"({"a": {"b": {"c": 1}}})", reason_at<std::string>({"a", "b", "c"}),
                  "Can not find field <string>: a.b.c"},
        path_case{R"({"flag": 1})", reason_at<bool>({"flag"}), "Can not find field <bool>: flag"},
        path_case{R"({"list": "x"})", reason_at<value::array>({"list"}),
                  "Can not find field <array>: list"},
        path_case{R"({"a": {"b": {"c": "ok"}}})", reason_at<std::string>({"a", "b", "c"}), ""}));

TEST(config_result, sums_values_in_order_or_every_reason_in_order) {
    const result<std::string> text(std::string("t"));
    const result<int> number(4);
    const result<bool> flag(true);
    const result<int> bad_number(error_reason{"int reason"});
    const result<bool> bad_flag(error_reason{"bool reason"});

    const auto all = text + number + flag;
    static_assert(std::is_same_v<decltype(all), const result<std::tuple<std::string, int, bool>>>);
    ASSERT_TRUE(all.ok());
    EXPECT_EQ(all.value(), std::make_tuple(std::string("t"), 4, true));
    EXPECT_EQ(all.reason(), "");

    const auto failed = text + bad_number + bad_flag;
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.reason(), "int reason\nbool reason");
    EXPECT_FALSE(failed.try_get());
    EXPECT_THROW(failed.value(), boost::bad_optional_access);

    EXPECT_EQ((bad_number + flag).reason(), "int reason");
    EXPECT_EQ((number + bad_flag).reason(), "bool reason");
}

TEST(config_result, ensure_tuple_wraps_only_plain_values) {
    EXPECT_EQ(ensure_tuple(1), std::make_tuple(1));
    EXPECT_EQ(ensure_tuple(std::make_tuple(1, 2)), std::make_tuple(1, 2));
    EXPECT_EQ(get_type_name<bool>(), "bool");
    EXPECT_EQ(get_type_name<int>(), "int");
    EXPECT_EQ(get_type_name<std::string>(), "string");
    EXPECT_EQ(get_type_name<value::array>(), "array");
}

} // namespace
} // namespace nkp::libs::config
