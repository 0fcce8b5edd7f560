#include "core/core.hpp"
#include "core/json.hpp"

#include "test_support/child_process.hpp"
#include "test_support/temp_directory.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <zmq.hpp>

#include <csignal>
#include <filesystem>
#include <regex>
#include <thread>

namespace nkp::tests {
namespace {

using namespace std::chrono_literals;
using test_support::child_process;
using testing::HasSubstr;

const std::string SIM = BRIMWATCH_SIM;
const std::string LOGCAT = BRIMWATCH_LOGCAT;
const std::string SITE = std::string(BRIMWATCH_SOURCE_DIR) + "/etc/demo/site.json";

struct option_case {
    std::string name;
    std::string program;
    std::vector<std::string> arguments;
    int status;
    std::string output; // expected in standard output and error
};

void PrintTo(const option_case& _case, std::ostream* _os) {
    *_os << _case.name;
}

class tool_options : public testing::TestWithParam<option_case> {};

TEST_P(tool_options, are_checked) {
    child_process tool(GetParam().program, GetParam().arguments);
    ASSERT_EQ(tool.wait(10s), GetParam().status);
    EXPECT_THAT(tool.standard_output() + tool.standard_error(), HasSubstr(GetParam().output));
}

test_support::temp_directory& files() {
    static test_support::temp_directory directory;
    return directory;
}

INSTANTIATE_TEST_SUITE_P(
    cases, tool_options,
    testing::Values(
        option_case{"sim_help", SIM, {"--help"}, 0, "--ack-loss SHARE"},
        option_case{"sim_unknown", SIM, {"--fly", "1"}, 2, "unknown option --fly"},
        option_case{"sim_missing_value", SIM, {"--rate"}, 2, "missing value"},
        option_case{
            "sim_bad_number", SIM, {"--ack-loss", "2"}, 2, "--ack-loss takes a number from 0 to 1"},
        option_case{"sim_missing_site",
                    SIM,
                    {"--site", "/nonexistent/site.json"},
                    2,
                    "cannot open /nonexistent"},
        option_case{"sim_site_not_json",
                    SIM,
                    {"--site", files().write_file("bad.json", "{").string()},
                    2,
                    "is not JSON"},
        option_case{"sim_site_without_zones",
                    SIM,
                    {"--site", files().write_file("empty.json", R"({"objects": []})").string()},
                    2,
                    "needs the arrays"},
        option_case{"logcat_help", LOGCAT, {"--help"}, 0, "--component NAME"},
        option_case{"logcat_unknown", LOGCAT, {"--fly", "1"}, 2, "unknown option --fly"},
        option_case{
            "logcat_bad_endpoint", LOGCAT, {"--bind", "nonsense"}, 2, "cannot bind nonsense"}),
    [](const testing::TestParamInfo<option_case>& _info) { return _info.param.name; });

// True once a tool has written the file, before the timeout.
bool written_within(const std::filesystem::path& _file, std::chrono::milliseconds _timeout) {
    const auto deadline = std::chrono::steady_clock::now() + _timeout;
    while (!std::filesystem::exists(_file) || std::filesystem::file_size(_file) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

TEST(brimwatch_sim, serves_the_site_and_publishes_zone_events) {
    test_support::temp_directory directory;
    const auto ready = directory.path() / "ready.json";
    child_process sim(
        SIM, {"--site", SITE, "--ready-file", ready.string(), "--rate", "50", "--duration", "5"});
    ASSERT_TRUE(written_within(ready, 10s));
    const auto endpoints =
        libs::core::json::parse(test_support::read_file(ready), CORE_SOURCE_LOCATION);

    zmq::context_t context;
    zmq::socket_t subscriber(context, zmq::socket_type::sub);
    subscriber.set(zmq::sockopt::subscribe, "#zone_event");
    subscriber.connect(endpoints["proxy"].asString());
    zmq::pollitem_t item{subscriber.handle(), 0, ZMQ_POLLIN, 0};
    ASSERT_GT(zmq::poll(&item, 1, 5s), 0);
    zmq::message_t message;
    ASSERT_TRUE(subscriber.recv(message));
    EXPECT_THAT(message.to_string(), testing::StartsWith("#zone_event {"));

    libs::core::logger logger("brimwatch", "main");
    const auto core = libs::core::core::create(logger);
    const auto loop = core->create_events_loop("main loop");
    const auto client = loop->create_http_client(endpoints["rest"].asString(), 5s, {}, 1);
    const auto zones =
        client->perform_request(libs::core::http::method::get, "/api/private/zones/");
    ASSERT_TRUE(zones.ok());
    EXPECT_EQ(libs::core::json::parse(*zones.data(), CORE_SOURCE_LOCATION)["zones"].size(), 5u);
    EXPECT_EQ(sim.wait(15s), 0);
    EXPECT_THAT(sim.standard_output(), HasSubstr("summary: sent 0"));
}

TEST(brimwatch_logcat, prints_the_lines_of_the_chosen_component) {
    test_support::temp_directory directory;
    const auto endpoint_file = directory.path() / "endpoint";
    child_process logcat(LOGCAT, {"--bind", "tcp://127.0.0.1:*", "--component", "core",
                                  "--endpoint-file", endpoint_file.string()});
    ASSERT_TRUE(written_within(endpoint_file, 10s));
    {
        libs::core::logger logger("brimwatch", "main");
        logger.connect(test_support::read_file(endpoint_file));
        logger.info("from main");
        logger.component("core")->info("from core");
    }
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (logcat.standard_output().find("from core") == std::string::npos &&
           std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(20ms);
    }
    logcat.send_signal(SIGTERM);
    EXPECT_EQ(logcat.wait(10s), 0);
    EXPECT_THAT(logcat.standard_output(), HasSubstr("&brimwatch:core "));
    EXPECT_THAT(logcat.standard_output(), HasSubstr("from core"));
    EXPECT_THAT(logcat.standard_output(), testing::Not(HasSubstr("from main")));
}

// Processes whose command line names the directory.
std::vector<std::string> processes_naming(const std::string& _directory) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const auto cmdline = test_support::read_file(entry.path() / "cmdline");
        if (cmdline.find(_directory) != std::string::npos) {
            found.push_back(entry.path().filename().string());
        }
    }
    return found;
}

TEST(demo, raises_acknowledges_and_clears_alarms_and_leaves_nothing_running) {
    test_support::temp_directory directory;
    const auto script = std::string(BRIMWATCH_SOURCE_DIR) + "/scripts/run.sh";
    setenv("BRIMWATCH_BINARY", BRIMWATCH_BINARY, 1);
    setenv("BRIMWATCH_SIM", SIM.c_str(), 1);
    setenv("BRIMWATCH_LOGCAT", LOGCAT.c_str(), 1);
    setenv("TMPDIR", directory.path().c_str(), 1);
    child_process demo("/bin/bash",
                       {script, "--duration", "20", "--rate", "4", "--heartbeat-seconds", "5"});
    ASSERT_EQ(demo.wait(60s), 0) << demo.standard_error();
    unsetenv("TMPDIR");
    const std::regex summary(
        "summary: sent (\\d+), set (\\d+), clear (\\d+), acknowledged (\\d+), repeated (\\d+)");
    std::smatch numbers;
    const auto output = demo.standard_output();
    ASSERT_TRUE(std::regex_search(output, numbers, summary)) << output;
    EXPECT_GT(std::stoi(numbers[2]), 0) << "set events";
    EXPECT_GT(std::stoi(numbers[3]), 0) << "clear events";
    EXPECT_GT(std::stoi(numbers[4]), 0) << "acknowledgements";
    EXPECT_THAT(output, HasSubstr("zone-a1     meeting_room"));
    EXPECT_TRUE(processes_naming(directory.path().string()).empty());
}

} // namespace
} // namespace nkp::tests
