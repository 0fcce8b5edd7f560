#include "test_support/redis_server.hpp"

#include <hiredis/hiredis.h>

#include "test_support/free_port.hpp"

#include <chrono>
#include <csignal>
#include <stdexcept>
#include <thread>

namespace nkp::test_support {

namespace {

using namespace std::chrono_literals;

std::string text_of(const redisReply* _reply) {
    if (_reply == nullptr) {
        return "(no reply)";
    }
    switch (_reply->type) {
    case REDIS_REPLY_NIL:
        return "(nil)";
    case REDIS_REPLY_INTEGER:
        return std::to_string(_reply->integer);
    case REDIS_REPLY_ARRAY: {
        std::string joined;
        for (std::size_t i = 0; i < _reply->elements; ++i) {
            joined += (i == 0 ? "" : " ") + text_of(_reply->element[i]);
        }
        return joined;
    }
    default:
        return std::string(_reply->str, _reply->len);
    }
}

} // namespace

redis_server::redis_server(std::string _password)
    : m_password(std::move(_password))
    , m_port(free_port()) {
    start();
}

redis_server::~redis_server() {
    stop();
}

void redis_server::start() {
    std::vector<std::string> arguments{"--port",       std::to_string(m_port),
                                       "--bind",       "127.0.0.1",
                                       "--save",       "",
                                       "--appendonly", "no",
                                       "--dir",        m_directory.path().string(),
                                       "--daemonize",  "no"};
    if (!m_password.empty()) {
        arguments.insert(arguments.end(), {"--requirepass", m_password});
    }
    m_process.emplace("/usr/bin/redis-server", arguments);
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (m_process->wait(0ms)) {
            throw std::runtime_error("redis-server ended at start: " +
                                     m_process->standard_output());
        }
        // NOAUTH counts: the server is up.
        const auto answer = query({"PING"});
        if (answer == "PONG" || answer.starts_with("NOAUTH")) {
            return;
        }
        std::this_thread::sleep_for(10ms);
    }
    throw std::runtime_error("redis-server did not answer on port " + std::to_string(m_port));
}

void redis_server::stop() {
    if (!m_process) {
        return;
    }
    m_process->send_signal(SIGTERM);
    if (!m_process->wait(10s)) {
        m_process->send_signal(SIGKILL);
        m_process->wait(10s);
    }
    m_process.reset();
}

std::string redis_server::query(const std::vector<std::string>& _command, int _db) const {
    const timeval timeout{1, 0};
    redisContext* connection = redisConnectWithTimeout("127.0.0.1", m_port, timeout);
    if (connection == nullptr || connection->err != 0) {
        if (connection != nullptr) {
            redisFree(connection);
        }
        return "(no connection)";
    }
    const auto run = [&](const std::vector<std::string>& _words) {
        std::vector<const char*> argv;
        std::vector<std::size_t> lengths;
        for (const auto& word : _words) {
            argv.push_back(word.data());
            lengths.push_back(word.size());
        }
        auto* reply = static_cast<redisReply*>(redisCommandArgv(
            connection, static_cast<int>(argv.size()), argv.data(), lengths.data()));
        auto text = text_of(reply);
        freeReplyObject(reply);
        return text;
    };
    if (!m_password.empty()) {
        run({"AUTH", m_password});
    }
    if (_db != 0) {
        run({"SELECT", std::to_string(_db)});
    }
    auto answer = run(_command);
    redisFree(connection);
    return answer;
}

} // namespace nkp::test_support
