#pragma once

#include "core/exception.hpp"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

namespace nkp::libs::core {

namespace detail {

// Throws when the pid file names a process that is still alive.
inline void check_pid(const std::string& _pid_file_name) {
    std::ifstream file(_pid_file_name);
    if (!file) {
        return;
    }
    pid_t pid = 0;
    if (!(file >> pid) || pid <= 0) {
        // Nothing readable, 0, or a negative number that kill() would take for a group.
        return;
    }
    file.close();
    if (kill(pid, 0) == 0) {
        throw exception("Process is running", CORE_SOURCE_LOCATION);
    }
    if (errno != ESRCH) {
        throw exception(std::string("write_pid: kill(): ") + std::strerror(errno),
                        CORE_SOURCE_LOCATION);
    }
}

inline void write_pid(const std::string& _pid_file_name) {
    std::ofstream file(_pid_file_name, std::ios::out | std::ios::trunc);
    if (!file) {
        throw exception("Error opening pid-file!", CORE_SOURCE_LOCATION);
    }
    file << getpid();
    file.close();
    if (!file) {
        throw exception("Error opening pid-file!", CORE_SOURCE_LOCATION);
    }
}

} // namespace detail

// Refuses to start while another instance named in the pid file is alive, then writes ours.
inline void write_pid(const std::string& _pid_file_name) {
    detail::check_pid(_pid_file_name);
    detail::write_pid(_pid_file_name);
}

} // namespace nkp::libs::core
