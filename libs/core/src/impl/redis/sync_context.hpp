#pragma once

#include "core/events_loop.hpp"
#include "core/logger.hpp"
#include "core/redis/reply.hpp"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct redisContext;

namespace nkp::libs::core::redis {

// The blocking connection. After a command got no reply (a lost connection), it connects
// again, with AUTH and SELECT, before the next command.
class sync_context {
public:
    // Throws "Connection error: <reason>", or the AUTH or SELECT error.
    sync_context(events_loop& _events_loop, const component_logger& _logger, std::string_view _ip,
                 int _port, std::string_view _password, int _db);

    // Blocks until the reply; an error reply throws "Command: <name>, error: <text>".
    reply run_command(std::vector<const char*>& _argv, std::vector<std::size_t>& _argv_len);

private:
    struct release {
        void operator()(redisContext* _context) const;
    };

    void connect();
    reply send(std::vector<const char*>& _argv, std::vector<std::size_t>& _argv_len);

    events_loop& m_events_loop;
    const component_logger& m_logger;
    std::string m_ip;
    int m_port;
    std::string m_password;
    int m_db;
    std::unique_ptr<redisContext, release> m_context_ptr;
};

} // namespace nkp::libs::core::redis
