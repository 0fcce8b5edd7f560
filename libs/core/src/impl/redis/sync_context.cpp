#include "sync_context.hpp"

#include "core/exception.hpp"

#include <hiredis/hiredis.h>

namespace nkp::libs::core::redis {

namespace {

constexpr timeval CONNECT_TIMEOUT{1, 500000};

} // namespace

void sync_context::release::operator()(redisContext* _context) const {
    redisFree(_context);
}

sync_context::sync_context(events_loop& _events_loop, const component_logger& _logger,
                           std::string_view _ip, int _port, std::string_view _password, int _db)
    : m_events_loop(_events_loop)
    , m_logger(_logger)
    , m_ip(_ip)
    , m_port(_port)
    , m_password(_password)
    , m_db(_db) {
    connect();
}

void sync_context::connect() {
    m_context_ptr.reset(redisConnectWithTimeout(m_ip.c_str(), m_port, CONNECT_TIMEOUT));
    if (!m_context_ptr || m_context_ptr->err != 0) {
        const std::string reason =
            m_context_ptr ? m_context_ptr->errstr : "can't allocate redis context";
        m_context_ptr.reset();
        throw exception("Connection error: " + reason, CORE_SOURCE_LOCATION);
    }
    if (!m_password.empty()) {
        std::vector<const char*> argv{"AUTH", m_password.data()};
        std::vector<std::size_t> argv_len{4, m_password.size()};
        send(argv, argv_len);
    }
    const auto db = std::to_string(m_db);
    std::vector<const char*> argv{"SELECT", db.data()};
    std::vector<std::size_t> argv_len{6, db.size()};
    send(argv, argv_len);
}

reply sync_context::run_command(std::vector<const char*>& _argv,
                                std::vector<std::size_t>& _argv_len) {
    if (!m_context_ptr) {
        connect();
    }
    return send(_argv, _argv_len);
}

reply sync_context::send(std::vector<const char*>& _argv, std::vector<std::size_t>& _argv_len) {
    const std::string name = _argv.empty() ? std::string() : std::string(_argv[0], _argv_len[0]);
    auto* raw = static_cast<redisReply*>(redisCommandArgv(
        m_context_ptr.get(), static_cast<int>(_argv.size()), _argv.data(), _argv_len.data()));
    if (raw == nullptr) {
        // The connection is unusable now; the next command connects again.
        const std::string reason = m_context_ptr->errstr;
        m_context_ptr.reset();
        throw exception("Command: " + name + ", error: " + reason, CORE_SOURCE_LOCATION);
    }
    reply answer(raw);
    if (answer.get_type() == reply_type::ERROR) {
        throw exception("Command: " + name + ", error: " + answer.to_string(),
                        CORE_SOURCE_LOCATION);
    }
    return answer;
}

} // namespace nkp::libs::core::redis
