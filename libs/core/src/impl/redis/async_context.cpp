#include "async_context.hpp"

#include "core/async_operation_handle_impl.hpp"
#include "core/exception.hpp"

#include <hiredis/async.h>
#include <hiredis/hiredis.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace nkp::libs::core::redis {

namespace {

async_context* owner_of(void* _data) {
    return static_cast<async_context*>(_data);
}

} // namespace

extern "C" {

static void add_read_wrapper(void* _data) {
    if (auto* owner = owner_of(_data)) {
        owner->add_read();
    }
}
static void del_read_wrapper(void* _data) {
    if (auto* owner = owner_of(_data)) {
        owner->del_read();
    }
}
static void add_write_wrapper(void* _data) {
    if (auto* owner = owner_of(_data)) {
        owner->add_write();
    }
}
static void del_write_wrapper(void* _data) {
    if (auto* owner = owner_of(_data)) {
        owner->del_write();
    }
}
static void cleanup_wrapper(void* _data) {
    if (auto* owner = owner_of(_data)) {
        owner->cleanup();
    }
}

static void connect_callback_wrapper(const redisAsyncContext* _context, int _status) {
    auto* owner = owner_of(_context->ev.data);
    if (owner == nullptr) {
        return;
    }
    // hiredis releases a connection that failed.
    if (_status != REDIS_OK) {
        owner->forget_connection();
    }
    owner->connect_callback(_status);
}

static void disconnect_callback_wrapper(const redisAsyncContext* _context, int) {
    if (auto* owner = owner_of(_context->ev.data)) {
        owner->forget_connection();
    }
}

// The reply node is taken over: hiredis frees what is left of its own node afterwards.
static void reply_wrapper(redisAsyncContext*, void* _reply, void* _callback) {
    std::unique_ptr<async_context::callback> callback(
        static_cast<async_context::callback*>(_callback));
    auto* source = static_cast<redisReply*>(_reply);
    if (source == nullptr) {
        (*callback)(reply::nil());
        return;
    }
    auto* node = static_cast<redisReply*>(std::calloc(1, sizeof(redisReply)));
    if (node == nullptr) {
        (*callback)(reply::nil());
        return;
    }
    *node = *source;
    source->str = nullptr;
    source->len = 0;
    source->element = nullptr;
    source->elements = 0;
    (*callback)(reply(node));
}

} // extern "C"

async_operation_handle<async_context::ptr>::ptr
async_context::create(events_loop& _events_loop, const component_logger& _logger, std::string _ip,
                      int _port, std::string _password, int _db) {
    using handle_type = async_operation_handle_impl<ptr>;
    // The handle owns the connection of its latest attempt; the connection's own callback
    // holds it only weakly, so dropping the handle ends the attempt.
    auto latest = std::make_shared<ptr>();
    auto handle = handle_type::create(
        _events_loop, [&_events_loop, &_logger, _ip, _port, _password, _db,
                       latest](const handle_type::ptr&, const std::weak_ptr<handle_type>& _weak) {
            auto connection =
                std::make_shared<async_context>(_events_loop, _logger, _ip, _port, _password, _db);
            connection->set_connect_callback(
                [weak_connection = std::weak_ptr<async_context>(connection), _weak](int _status) {
                    if (const auto target = _weak.lock()) {
                        target->return_result(_status == REDIS_OK ? weak_connection.lock() : ptr());
                    }
                });
            // An earlier connection goes here, on the loop, outside hiredis's callbacks.
            *latest = std::move(connection);
        });
    handle->start();
    return handle;
}

async_context::async_context(events_loop& _events_loop, const component_logger& _logger,
                             const std::string& _ip, int _port, std::string _password, int _db)
    : m_events_loop(_events_loop)
    , m_logger(_logger)
    , m_context(redisAsyncConnect(_ip.c_str(), _port))
    , m_socket(_events_loop.get_io_context())
    , m_password(std::move(_password))
    , m_db(_db)
    , m_context_is_alive(std::make_shared<bool>(false)) {
    if (m_context == nullptr || m_context->err != 0) {
        const std::string reason = m_context != nullptr ? m_context->errstr : "";
        if (m_context != nullptr) {
            redisAsyncFree(m_context);
        }
        throw exception("Cannot open connection to the redis server: " + reason,
                        CORE_SOURCE_LOCATION);
    }
    const int descriptor = dup(m_context->c.fd);
    boost::system::error_code error;
    m_socket.assign(boost::asio::ip::tcp::v4(), descriptor, error);
    if (error) {
        if (descriptor >= 0) {
            close(descriptor);
        }
        redisAsyncFree(m_context);
        throw exception("Cannot open connection to the redis server: " + error.message(),
                        CORE_SOURCE_LOCATION);
    }
    m_context->ev.addRead = add_read_wrapper;
    m_context->ev.delRead = del_read_wrapper;
    m_context->ev.addWrite = add_write_wrapper;
    m_context->ev.delWrite = del_write_wrapper;
    m_context->ev.cleanup = cleanup_wrapper;
    m_context->ev.data = this;
    redisAsyncSetConnectCallback(m_context, connect_callback_wrapper);
    redisAsyncSetDisconnectCallback(m_context, disconnect_callback_wrapper);
    *m_context_is_alive = true;
}

async_context::~async_context() {
    *m_context_is_alive = false;
    if (m_context != nullptr) {
        // Detached first: hiredis may finish freeing later, and must not call back into us.
        m_context->ev = {};
        auto* context = std::exchange(m_context, nullptr);
        redisAsyncFree(context);
    }
}

void async_context::forget_connection() {
    if (m_context != nullptr) {
        m_context->ev.data = nullptr;
    }
    m_context = nullptr;
    m_read_requested = false;
    m_write_requested = false;
    boost::system::error_code ignored;
    m_socket.cancel(ignored);
}

void async_context::connect_callback(int _status) {
    if (_status == REDIS_OK) {
        // hiredis keeps commands in order: every later command runs after these two.
        if (!m_password.empty()) {
            redisAsyncCommand(m_context, nullptr, nullptr, "AUTH %b", m_password.data(),
                              m_password.size());
        }
        redisAsyncCommand(m_context, nullptr, nullptr, "SELECT %d", m_db);
    }
    if (m_connect_callback) {
        auto callback = std::move(m_connect_callback);
        m_connect_callback = nullptr;
        callback(_status);
    }
}

void async_context::run_command(std::vector<const char*>& _argv,
                                std::vector<std::size_t>& _argv_len, callback _callback) {
    const std::string name = _argv.empty() ? std::string() : std::string(_argv[0], _argv_len[0]);
    if (m_context == nullptr) {
        throw exception("Command: " + name + ", error", CORE_SOURCE_LOCATION);
    }
    auto* held = new callback(std::move(_callback));
    if (redisAsyncCommandArgv(m_context, reply_wrapper, held, static_cast<int>(_argv.size()),
                              _argv.data(), _argv_len.data()) != REDIS_OK) {
        delete held;
        throw exception("Command: " + name + ", error", CORE_SOURCE_LOCATION);
    }
}

void async_context::add_read() {
    m_read_requested = true;
    operate();
}

void async_context::del_read() {
    m_read_requested = false;
}

void async_context::add_write() {
    m_write_requested = true;
    operate();
}

void async_context::del_write() {
    m_write_requested = false;
}

void async_context::operate() {
    if (m_read_requested && !m_read_in_progress) {
        m_read_in_progress = true;
        m_socket.async_wait(
            boost::asio::ip::tcp::socket::wait_read,
            [alive = m_context_is_alive, this](const boost::system::error_code& _error) {
                if (*alive) {
                    handle_read(_error);
                }
            });
    }
    if (m_write_requested && !m_write_in_progress) {
        m_write_in_progress = true;
        m_socket.async_wait(
            boost::asio::ip::tcp::socket::wait_write,
            [alive = m_context_is_alive, this](const boost::system::error_code& _error) {
                if (*alive) {
                    handle_write(_error);
                }
            });
    }
}

void async_context::handle_read(const boost::system::error_code& _error) {
    m_read_in_progress = false;
    if (m_context == nullptr) {
        return;
    }
    if (!_error) {
        redisAsyncHandleRead(m_context);
    }
    if (!_error || _error == boost::asio::error::would_block) {
        operate();
    }
}

void async_context::handle_write(const boost::system::error_code& _error) {
    m_write_in_progress = false;
    if (m_context == nullptr) {
        return;
    }
    if (!_error) {
        redisAsyncHandleWrite(m_context);
    }
    if (!_error || _error == boost::asio::error::would_block) {
        operate();
    }
}

} // namespace nkp::libs::core::redis
