#pragma once

#include "core/async_operation_handle.hpp"
#include "core/events_loop.hpp"
#include "core/logger.hpp"
#include "core/redis/reply.hpp"

#include <boost/asio/ip/tcp.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct redisAsyncContext;

namespace nkp::libs::core::redis {

// The connection driven by the events loop: hiredis's event hooks wait for readiness of a
// duplicate of its descriptor. Used on the loop's thread only.
class async_context {
public:
    using ptr = std::shared_ptr<async_context>;
    using callback = std::function<void(reply)>;

    // Each start makes one connection object and one attempt; the result is the connected
    // context, or null. An immediate connection error is thrown.
    static async_operation_handle<ptr>::ptr create(events_loop& _events_loop,
                                                   const component_logger& _logger, std::string _ip,
                                                   int _port, std::string _password, int _db);

    // Throws "Cannot open connection to the redis server: <reason>".
    async_context(events_loop& _events_loop, const component_logger& _logger,
                  const std::string& _ip, int _port, std::string _password, int _db);
    ~async_context();
    async_context(const async_context&) = delete;
    async_context& operator=(const async_context&) = delete;

    // Called once with the connection status (0: connected).
    void set_connect_callback(std::function<void(int)> _callback) {
        m_connect_callback = std::move(_callback);
    }
    // The callback gets the reply on the loop thread; a lost connection refuses with
    // exception "Command: <name>, error".
    void run_command(std::vector<const char*>& _argv, std::vector<std::size_t>& _argv_len,
                     callback _callback);

    // hiredis's event hooks; adding twice starts one wait.
    void add_read();
    void del_read();
    void add_write();
    void del_write();
    void cleanup() {}
    void connect_callback(int _status);
    // hiredis released the connection: it is never used again.
    void forget_connection();

private:
    void operate();
    void handle_read(const boost::system::error_code& _error);
    void handle_write(const boost::system::error_code& _error);

    events_loop& m_events_loop;
    const component_logger& m_logger;
    redisAsyncContext* m_context;
    boost::asio::ip::tcp::socket m_socket;
    std::string m_password;
    int m_db;
    bool m_read_requested = false;
    bool m_write_requested = false;
    bool m_read_in_progress = false;
    bool m_write_in_progress = false;
    std::function<void(int)> m_connect_callback;
    std::shared_ptr<bool> m_context_is_alive;
};

} // namespace nkp::libs::core::redis
