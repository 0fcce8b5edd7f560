#include "config.hpp"

#include "core/exception.hpp"
#include "core/json.hpp"
#include "service_config.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace nkp::tests {
namespace {

config read(const std::string& _text) {
    std::istringstream stream(_text);
    return config(stream);
}

std::string error_of(const std::string& _text) {
    try {
        read(_text);
    } catch (const libs::core::exception& e) {
        return e.get_string_error();
    } catch (const std::exception& e) {
        return std::string("std::exception: ") + e.what();
    }
    return {};
}

TEST(service_config, reads_every_member) {
    const auto configuration = read(libs::core::json::to_string(valid_config_json()));
    EXPECT_EQ(configuration.system.pidfile, "/tmp/brimwatch-test.pid");
    EXPECT_EQ(configuration.system.debug_port, "tcp://127.0.0.1:1");
    EXPECT_FALSE(configuration.system.local_debug);
    EXPECT_EQ(configuration.proxy.output_port, "tcp://127.0.0.1:2");
    EXPECT_EQ(configuration.server.url, "http://127.0.0.1:3");
    EXPECT_EQ(configuration.server.timeout, 10);
    EXPECT_EQ(configuration.redis.host, "127.0.0.1");
    EXPECT_EQ(configuration.redis.port, 1);
    EXPECT_EQ(configuration.redis.password, "");
    EXPECT_TRUE(configuration.modify_server_state);
    EXPECT_EQ(configuration.zone_types, (std::set<std::string, std::less<>>{"hall", "room"}));
}

struct change_case {
    std::string name;
    std::function<void(Json::Value&)> change;
    std::string expected_error; // empty: valid
    std::function<void(const config&)> check = {};
};

void PrintTo(const change_case& _case, std::ostream* _os) {
    *_os << _case.name;
}

class service_config_change : public testing::TestWithParam<change_case> {};

TEST_P(service_config_change, is_validated) {
    auto document = valid_config_json();
    GetParam().change(document);
    const auto text = libs::core::json::to_string(document);
    EXPECT_EQ(error_of(text), GetParam().expected_error);
    if (GetParam().check) {
        GetParam().check(read(text));
    }
}

const std::string INVALID = "Config file is invalid: ";

INSTANTIATE_TEST_SUITE_P(
    keys, service_config_change,
    testing::Values(
        change_case{"modify_server_state_false",
                    [](Json::Value& c) { c["debug"]["modify_server_state"] = false; }, "",
                    [](const config& c) { EXPECT_FALSE(c.modify_server_state); }},
        change_case{"modify_server_state_string_is_true",
                    [](Json::Value& c) { c["debug"]["modify_server_state"] = "no"; }, "",
                    [](const config& c) { EXPECT_TRUE(c.modify_server_state); }},
        change_case{"debug_not_an_object", [](Json::Value& c) { c["debug"] = 1; }, "",
                    [](const config& c) { EXPECT_TRUE(c.modify_server_state); }},
        change_case{"timeout_as_real", [](Json::Value& c) { c["server"]["timeout"] = 10.0; }, "",
                    [](const config& c) { EXPECT_EQ(c.server.timeout, 10); }},
        change_case{"duplicate_zone_types",
                    [](Json::Value& c) {
                        c["zone_types"] = Json::arrayValue;
                        c["zone_types"].append("a");
                        c["zone_types"].append("a");
                    },
                    "",
                    [](const config& c) {
                        EXPECT_EQ(c.zone_types, (std::set<std::string, std::less<>>{"a"}));
                    }},
        change_case{"empty_zone_types", [](Json::Value& c) { c["zone_types"] = Json::arrayValue; },
                    "", [](const config& c) { EXPECT_TRUE(c.zone_types.empty()); }},
        change_case{"timeout_as_string", [](Json::Value& c) { c["server"]["timeout"] = "10"; },
                    INVALID + "Can not find field <int>: server.timeout"},
        change_case{"local_debug_as_number", [](Json::Value& c) { c["system"]["local_debug"] = 1; },
                    INVALID + "Can not find field <bool>: system.local_debug"},
        change_case{"zone_types_as_string", [](Json::Value& c) { c["zone_types"] = "a"; },
                    INVALID + "Can not find field <array>: zone_types"},
        change_case{"zone_type_not_a_string",
                    [](Json::Value& c) {
                        c["zone_types"] = Json::arrayValue;
                        c["zone_types"].append("a");
                        c["zone_types"].append(5);
                        c["zone_types"].append("b");
                    },
                    INVALID + "zone_types: not a zone type: 1"},
        change_case{"no_redis", [](Json::Value& c) { c.removeMember("redis"); },
                    INVALID + "Can not find object <object>: redis, path: redis.host\n" +
                        "Can not find object <object>: redis, path: redis.port\n" +
                        "Can not find object <object>: redis, path: redis.password"},
        change_case{"bad_pidfile_and_port",
                    [](Json::Value& c) {
                        c["system"]["pidfile"] = 1;
                        c["redis"]["port"] = "6379";
                    },
                    INVALID + "Can not find field <string>: system.pidfile\n" +
                        "Can not find field <int>: redis.port"},
        change_case{"port_past_32_bits",
                    [](Json::Value& c) { c["redis"]["port"] = Json::Int64(1) << 40; },
                    "std::exception: LargestInt out of Int range"}),
    [](const testing::TestParamInfo<change_case>& _info) { return _info.param.name; });

TEST(service_config, empty_object_lists_all_ten_required_keys_in_order) {
    EXPECT_EQ(error_of("{}"), INVALID +
                                  "Can not find object <object>: system, path: system.pidfile\n"
                                  "Can not find object <object>: system, path: system.debug_port\n"
                                  "Can not find object <object>: system, path: system.local_debug\n"
                                  "Can not find object <object>: proxy, path: proxy.output_port\n"
                                  "Can not find object <object>: server, path: server.url\n"
                                  "Can not find object <object>: server, path: server.timeout\n"
                                  "Can not find object <object>: redis, path: redis.host\n"
                                  "Can not find object <object>: redis, path: redis.port\n"
                                  "Can not find object <object>: redis, path: redis.password\n"
                                  "Can not find field <array>: zone_types");
}

TEST(service_config, text_that_is_not_json_reports_the_parser) {
    EXPECT_TRUE(error_of("").starts_with("std::exception: Cannot parse json: "));
}

} // namespace
} // namespace nkp::tests
