#include "core/json.hpp"
#include "service_config.hpp"

#include "test_support/child_process.hpp"
#include "test_support/log_collector.hpp"
#include "test_support/temp_directory.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>

#include <functional>
#include <regex>

namespace nkp::tests {
namespace {

using namespace std::chrono_literals;
using test_support::child_process;
using testing::HasSubstr;

const std::string BINARY = BRIMWATCH_BINARY;
const auto DEADLINE = 20s;

// One start of the service with a configuration written for it.
class service_start : public testing::Test {
protected:
    service_start() {
        m_config = valid_config_json();
        m_config["system"]["pidfile"] = pid_file();
        m_config["system"]["debug_port"] = m_collector.endpoint();
    }

    std::string pid_file() const { return (m_directory.path() / "brimwatch.pid").string(); }

    // Runs to its end; returns the exit status.
    int run(const std::vector<std::string>& _arguments) {
        m_process.emplace(BINARY, _arguments);
        const auto status = m_process->wait(DEADLINE);
        EXPECT_TRUE(status) << "still running at the deadline";
        return status.value_or(-1);
    }
    std::string config_file() {
        return m_directory.write_file("brimwatch.json", libs::core::json::to_string(m_config))
            .string();
    }
    int run_with_config() { return run({"-c", config_file()}); }
    // Starts the service, and once it runs, stops it with the signal.
    int run_until_signal(int _signal) {
        m_process.emplace(BINARY, std::vector<std::string>{"-c", config_file()});
        EXPECT_TRUE(m_process->wait_until_catching(_signal, DEADLINE)) << standard_error();
        m_process->send_signal(_signal);
        const auto status = m_process->wait(DEADLINE);
        EXPECT_TRUE(status) << "still running at the deadline";
        return status.value_or(-1);
    }
    std::string standard_error() const { return m_process->standard_error(); }

    test_support::temp_directory m_directory;
    test_support::log_collector m_collector;
    Json::Value m_config;
    std::optional<child_process> m_process;
};

TEST_F(service_start, a_bad_command_line_fails_with_the_usage) {
    EXPECT_EQ(run({}), 1);
    EXPECT_THAT(standard_error(), HasSubstr("The configuration file is not defined! Usage: " +
                                            BINARY + " -c config_file\n"));
    EXPECT_EQ(run({"-x"}), 1);
    EXPECT_THAT(standard_error(), HasSubstr(" Usage: " + BINARY + " -c config_file\n"));
    EXPECT_EQ(run({"-c"}), 1);
    EXPECT_THAT(standard_error(), HasSubstr(" Usage: " + BINARY + " -c config_file\n"));
}

TEST_F(service_start, a_missing_file_fails_in_the_json_parser) {
    EXPECT_EQ(run({"-c", (m_directory.path() / "absent.json").string()}), 1);
    EXPECT_THAT(standard_error(), HasSubstr("std::exception::what(): Cannot parse json: "));
}

TEST_F(service_start, an_empty_object_lists_every_required_key) {
    m_config = Json::objectValue;
    EXPECT_EQ(run_with_config(), 1);
    const auto text = standard_error();
    EXPECT_THAT(text, HasSubstr(" Config file is invalid: Can not find object <object>: system, "
                                "path: system.pidfile\n"));
    EXPECT_THAT(text, HasSubstr("\nCan not find field <array>: zone_types\n"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 10);
}

struct mistyped_case {
    std::vector<std::string> path;
    Json::Value value;
    std::string reason;
};

void PrintTo(const mistyped_case& _case, std::ostream* _os) {
    *_os << _case.reason;
}

class service_start_mistyped : public service_start,
                               public testing::WithParamInterface<mistyped_case> {};

TEST_P(service_start_mistyped, fails_naming_the_key) {
    Json::Value* node = &m_config;
    for (const auto& key : GetParam().path) {
        node = &(*node)[key];
    }
    *node = GetParam().value;
    EXPECT_EQ(run_with_config(), 1);
    EXPECT_THAT(standard_error(),
                testing::EndsWith(" Config file is invalid: " + GetParam().reason + "\n"));
}

INSTANTIATE_TEST_SUITE_P(
    keys, service_start_mistyped,
    testing::Values(
        mistyped_case{{"system", "pidfile"}, 1, "Can not find field <string>: system.pidfile"},
        mistyped_case{
            {"system", "debug_port"}, true, "Can not find field <string>: system.debug_port"},
        mistyped_case{
            {"system", "local_debug"}, 1, "Can not find field <bool>: system.local_debug"},
        mistyped_case{
            {"proxy", "output_port"}, 5, "Can not find field <string>: proxy.output_port"},
        mistyped_case{
            {"server", "url"}, Json::nullValue, "Can not find field <string>: server.url"},
        mistyped_case{{"server", "timeout"}, "10", "Can not find field <int>: server.timeout"},
        mistyped_case{
            {"redis", "host"}, Json::arrayValue, "Can not find field <string>: redis.host"},
        mistyped_case{{"redis", "port"}, 1.5, "Can not find field <int>: redis.port"},
        mistyped_case{{"redis", "password"}, 0, "Can not find field <string>: redis.password"},
        mistyped_case{{"zone_types"}, "a", "Can not find field <array>: zone_types"}));

// The socket copy of a line: prefix, UTC date with milliseconds, body.
MATCHER_P(socket_line, _body, "") {
    static const std::regex format(
        "&brimwatch:main \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} (.*)");
    std::smatch match;
    return std::regex_match(arg, match, format) &&
           std::regex_match(match[1].str(), std::regex(_body));
}

TEST_F(service_start, runs_until_a_termination_signal_and_leaves_the_pid_file) {
    for (const int signal : {SIGTERM, SIGINT}) {
        EXPECT_EQ(run_until_signal(signal), 0);
        EXPECT_EQ(test_support::read_file(pid_file()), std::to_string(m_process->pid()));
        const auto lines = m_collector.receive_until(" exit", DEADLINE);
        ASSERT_GE(lines.size(), 2u) << testing::PrintToString(lines);
        EXPECT_THAT(lines.front(), socket_line("Connected to socket"));
        EXPECT_THAT(lines.back(), socket_line("/src/main\\.cpp:\\d+ exit"));
        EXPECT_EQ(standard_error(), "");
    }
}

TEST_F(service_start, a_live_process_in_the_pid_file_stops_the_start) {
    m_directory.write_file("brimwatch.pid", std::to_string(getpid()));
    EXPECT_EQ(run_with_config(), 1);
    EXPECT_THAT(standard_error(), testing::EndsWith(" Process is running\n"));
    const auto lines = m_collector.receive_until("Process is running", DEADLINE);
    ASSERT_FALSE(lines.empty());
    EXPECT_THAT(lines.back(),
                socket_line("/libs/core/src/include/core/pid_file\\.hpp:\\d+ Process is running"));
    EXPECT_EQ(test_support::read_file(pid_file()), std::to_string(getpid()));
}

TEST_F(service_start, debug_mode_echoes_dated_lines_and_failures_on_standard_error) {
    m_config["system"]["local_debug"] = true;
    EXPECT_EQ(run_until_signal(SIGTERM), 0);
    const auto started = standard_error();
    EXPECT_THAT(started, testing::ContainsRegex(
                             "brimwatch: [0-9-]+ [0-9:]+\\.[0-9]+ /src/main\\.cpp:[0-9]+ exit"));

    m_directory.write_file("brimwatch.pid", std::to_string(getpid()));
    EXPECT_EQ(run_with_config(), 1);
    EXPECT_THAT(standard_error(), HasSubstr(" Process is running\n"));
}

} // namespace
} // namespace nkp::tests
