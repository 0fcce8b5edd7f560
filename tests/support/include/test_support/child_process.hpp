#pragma once

#include "test_support/temp_directory.hpp"

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace nkp::test_support {

// A program started with arguments, its standard output and error kept in files. The
// destructor kills it if it still runs, so nothing is left behind.
class child_process {
public:
    child_process(const std::string& _program, const std::vector<std::string>& _arguments);
    ~child_process();
    child_process(const child_process&) = delete;
    child_process& operator=(const child_process&) = delete;

    pid_t pid() const { return m_pid; }
    void send_signal(int _signal) const;
    // The exit status, or nothing if the process still runs at the deadline. A process
    // ended by a signal reports 128 + the signal.
    std::optional<int> wait(std::chrono::milliseconds _timeout);

    // True once the process has a handler for the signal, before the timeout.
    bool wait_until_catching(int _signal, std::chrono::milliseconds _timeout) const;

    std::string standard_output() const;
    std::string standard_error() const;

private:
    temp_directory m_output_directory;
    pid_t m_pid = -1;
    std::optional<int> m_status;
};

} // namespace nkp::test_support
