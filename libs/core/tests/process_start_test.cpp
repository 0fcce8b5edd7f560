#include "core/exception.hpp"
#include "core/get_config_file_name.hpp"
#include "core/pid_file.hpp"

#include "test_support/temp_directory.hpp"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace nkp::libs::core {
namespace {

struct command_line_case {
    std::vector<std::string> arguments;
    std::string expected; // the file name, or the error message
    bool fails;
};

void PrintTo(const command_line_case& _case, std::ostream* _os) {
    *_os << testing::PrintToString(_case.arguments);
}

class command_line : public testing::TestWithParam<command_line_case> {};

TEST_P(command_line, gives_the_last_c_or_the_usage) {
    std::vector<std::string> strings{"brimwatch"};
    strings.insert(strings.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    std::vector<char*> argv;
    for (auto& text : strings) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(strings.size());
    if (!GetParam().fails) {
        EXPECT_EQ(get_config_file_name(argc, argv.data()), GetParam().expected);
        return;
    }
    try {
        get_config_file_name(argc, argv.data());
        FAIL() << "no exception";
    } catch (const exception& e) {
        EXPECT_EQ(e.get_string_error(), GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    arguments, command_line,
    testing::Values(
        command_line_case{{"-c", "a.json"}, "a.json", false},
        command_line_case{{"-c", "a.json", "-c", "b.json"}, "b.json", false},
        command_line_case{{"-cinline.json"}, "inline.json", false},
        command_line_case{{"-c", "a.json", "extra"}, "a.json", false},
        command_line_case{
            {}, "The configuration file is not defined! Usage: brimwatch -c config_file", true},
        command_line_case{{"extra"},
                          "The configuration file is not defined! Usage: brimwatch -c config_file",
                          true},
        command_line_case{{"-x"}, "Usage: brimwatch -c config_file", true},
        command_line_case{{"-c", "a.json", "-c"}, "Usage: brimwatch -c config_file", true}));

class pid_file : public testing::Test {
protected:
    std::string path() const { return (m_directory.path() / "brimwatch.pid").string(); }
    void write(const std::string& _content) const {
        m_directory.write_file("brimwatch.pid", _content);
    }
    std::string message_of_write_pid() const {
        try {
            write_pid(path());
        } catch (const exception& e) {
            return e.get_string_error();
        }
        return {};
    }

    test_support::temp_directory m_directory;
};

TEST_F(pid_file, absent_stale_or_unreadable_files_are_overwritten_with_our_pid) {
    const auto own_pid = std::to_string(getpid());
    EXPECT_EQ(message_of_write_pid(), "");
    EXPECT_EQ(test_support::read_file(path()), own_pid);

    // A process that has ended leaves a stale pid behind.
    const pid_t ended = fork();
    if (ended == 0) {
        _exit(0);
    }
    waitpid(ended, nullptr, 0);
    for (const auto& content : {std::to_string(ended), std::string("0"), std::string(""),
                                std::string("not a number"), std::string("-1")}) {
        write(content);
        EXPECT_EQ(message_of_write_pid(), "") << "content: " << content;
        EXPECT_EQ(test_support::read_file(path()), own_pid) << "content: " << content;
    }
}

TEST_F(pid_file, a_live_process_stops_the_start) {
    write(std::to_string(getpid()));
    EXPECT_EQ(message_of_write_pid(), "Process is running");
}

TEST_F(pid_file, a_live_process_of_another_user_is_reported_with_the_system_text) {
    if (getuid() != 0) {
        GTEST_SKIP() << "needs a process this user may not signal, which root always may";
    }
    // As root every process may be signalled; a child that gives up root cannot signal us.
    write(std::to_string(getpid()));
    std::filesystem::permissions(m_directory.path(), std::filesystem::perms::all);
    const pid_t child = fork();
    if (child == 0) {
        if (setuid(65534) != 0) {
            _exit(2);
        }
        try {
            write_pid(path());
        } catch (const exception& e) {
            _exit(e.get_string_error() == std::string("write_pid: kill(): ") + std::strerror(EPERM)
                      ? 0
                      : 1);
        }
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(pid_file, an_unwritable_place_is_reported) {
    const auto missing = (m_directory.path() / "no-such-directory" / "brimwatch.pid").string();
    try {
        write_pid(missing);
        FAIL() << "no exception";
    } catch (const exception& e) {
        EXPECT_EQ(e.get_string_error(), "Error opening pid-file!");
    }
}

} // namespace
} // namespace nkp::libs::core
