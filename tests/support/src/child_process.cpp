#include "test_support/child_process.hpp"

#include "test_support/temp_directory.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace nkp::test_support {

namespace {

int to_status(int _wait_status) {
    if (WIFEXITED(_wait_status)) {
        return WEXITSTATUS(_wait_status);
    }
    return 128 + WTERMSIG(_wait_status);
}

} // namespace

child_process::child_process(const std::string& _program,
                             const std::vector<std::string>& _arguments) {
    const auto out = (m_output_directory.path() / "stdout").string();
    const auto err = (m_output_directory.path() / "stderr").string();

    std::vector<std::string> argv_strings{_program};
    argv_strings.insert(argv_strings.end(), _arguments.begin(), _arguments.end());
    std::vector<char*> argv;
    for (auto& argument : argv_strings) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    m_pid = fork();
    if (m_pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (m_pid == 0) {
        const int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int null_fd = open("/dev/null", O_RDONLY);
        if (out_fd < 0 || err_fd < 0 || null_fd < 0) {
            _exit(127);
        }
        dup2(null_fd, STDIN_FILENO);
        dup2(out_fd, STDOUT_FILENO);
        dup2(err_fd, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
}

child_process::~child_process() {
    if (m_pid > 0 && !m_status) {
        kill(m_pid, SIGKILL);
        int ignored = 0;
        waitpid(m_pid, &ignored, 0);
    }
}

void child_process::send_signal(int _signal) const {
    if (!m_status) {
        kill(m_pid, _signal);
    }
}

std::optional<int> child_process::wait(std::chrono::milliseconds _timeout) {
    if (m_status) {
        return m_status;
    }
    // A pidfd becomes readable when the process ends, so the wait needs no polling loop.
    const int pid_fd = static_cast<int>(syscall(SYS_pidfd_open, m_pid, 0));
    if (pid_fd < 0) {
        throw std::runtime_error("pidfd_open failed");
    }
    pollfd item{pid_fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = poll(&item, 1, static_cast<int>(_timeout.count()));
    } while (ready < 0 && errno == EINTR);
    close(pid_fd);
    if (ready > 0) {
        int wait_status = 0;
        if (waitpid(m_pid, &wait_status, 0) == m_pid) {
            m_status = to_status(wait_status);
        }
    }
    return m_status;
}

bool child_process::wait_until_catching(int _signal, std::chrono::milliseconds _timeout) const {
    // The kernel lists the caught signals as a hexadecimal mask in /proc/<pid>/status.
    const auto status_file = "/proc/" + std::to_string(m_pid) + "/status";
    const auto deadline = std::chrono::steady_clock::now() + _timeout;
    const unsigned long long bit = 1ULL << (_signal - 1);
    for (;;) {
        std::ifstream status(status_file);
        std::string line;
        while (std::getline(status, line)) {
            if (line.starts_with("SigCgt:") &&
                (std::stoull(line.substr(7), nullptr, 16) & bit) != 0) {
                return true;
            }
        }
        if (m_status || std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

std::string child_process::standard_output() const {
    return read_file(m_output_directory.path() / "stdout");
}

std::string child_process::standard_error() const {
    return read_file(m_output_directory.path() / "stderr");
}

} // namespace nkp::test_support
