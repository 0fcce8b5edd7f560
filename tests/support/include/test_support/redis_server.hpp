#pragma once

#include "test_support/child_process.hpp"
#include "test_support/temp_directory.hpp"

#include <memory>
#include <optional>
#include <string>

namespace nkp::test_support {

// A redis-server of its own on a free loopback port, in a temporary directory, persisting
// nothing. It can be stopped and started again on the same port; the destructor stops it.
class redis_server {
public:
    // An empty password starts it without requirepass.
    explicit redis_server(std::string _password = {});
    ~redis_server();

    int port() const { return m_port; }
    const std::string& password() const { return m_password; }
    // Starts it and waits until it answers.
    void start();
    // Stops it by its pid and waits for it to end.
    void stop();
    // A command on a fresh connection, for checks from outside the code under test; the
    // reply as text ("(nil)" for none, elements joined by spaces).
    std::string query(const std::vector<std::string>& _command, int _db = 0) const;

private:
    temp_directory m_directory;
    std::string m_password;
    int m_port;
    std::optional<child_process> m_process;
};

} // namespace nkp::test_support
