#include "context_impl.hpp"

#include "command_impl.hpp"
#include "core/async_operation_handle_impl.hpp"
#include "core/exception.hpp"

namespace nkp::libs::core::redis {

namespace {

using context_result = std::optional<context::ptr>;
using creation_handle = async_operation_handle_impl<context_result>;

// What one creation needs across its attempts.
struct creation {
    events_loop& loop;
    const component_logger& logger;
    std::string ip;
    int port;
    std::string password;
    int db;
    async_operation_handle<async_context::ptr>::ptr attempt;
};

// Gives the handle the context made of a connected asynchronous connection, or nothing.
void complete(const std::weak_ptr<creation_handle>& _weak, const creation& _settings,
              async_context::ptr _async) {
    const auto target = _weak.lock();
    if (!target) {
        return;
    }
    if (!_async) {
        target->return_result(context_result());
        return;
    }
    try {
        auto sync =
            std::make_unique<sync_context>(_settings.loop, _settings.logger, _settings.ip,
                                           _settings.port, _settings.password, _settings.db);
        target->return_result(context_result(std::make_unique<context_impl>(
            _settings.loop, _settings.logger, std::move(_async), std::move(sync))));
    } catch (...) {
        // An empty result, so that whoever restarts completed attempts keeps trying.
        _settings.logger.log_exception();
        target->return_result(context_result());
    }
}

} // namespace

async_operation_handle<context_result>::ptr
context_impl::create(events_loop& _events_loop, const component_logger& _logger,
                     std::string_view _ip, int _port, std::string_view _password, int _db) {
    auto settings = std::make_shared<creation>(creation{
        _events_loop, _logger, std::string(_ip), _port, std::string(_password), _db, nullptr});
    settings->attempt =
        async_context::create(_events_loop, _logger, settings->ip, _port, settings->password, _db);
    auto handle = creation_handle::create(
        _events_loop,
        [settings](const creation_handle::ptr&, const std::weak_ptr<creation_handle>& _weak) {
            auto& attempt = *settings->attempt;
            const std::weak_ptr<creation> weak_settings = settings;
            attempt.set_callback([_weak, weak_settings](async_context::ptr _async) {
                if (const auto current = weak_settings.lock()) {
                    complete(_weak, *current, std::move(_async));
                }
            });
            if (!attempt.is_complete()) {
                return;
            }
            try {
                attempt.restart();
            } catch (...) {
                // An address that cannot be used at all: this attempt ends empty at once.
                settings->logger.log_exception();
                if (const auto target = _weak.lock()) {
                    target->return_result(context_result());
                }
            }
        });
    handle->start();
    return handle;
}

command::ptr context_impl::create_command(args _args) {
    auto created = std::make_unique<command_impl>(m_events_loop, m_logger, *m_sync, *m_async);
    for (auto& argument : _args) {
        created->add_argument(std::move(argument));
    }
    return created;
}

command::ptr context_impl::get(std::string _key) {
    return create_command({"GET", std::move(_key)});
}

command::ptr context_impl::set(std::string _key, std::string _value) {
    return create_command({"SET", std::move(_key), std::move(_value)});
}

command::ptr context_impl::del(std::string _key) {
    return create_command({"DEL", std::move(_key)});
}

command::ptr context_impl::add_to_set(std::string _key) {
    return create_command({"SADD", std::move(_key)});
}

command::ptr context_impl::add_to_set(std::string _key, std::string _value) {
    return create_command({"SADD", std::move(_key), std::move(_value)});
}

command::ptr context_impl::remove_from_set(std::string _key, std::string _value) {
    return create_command({"SREM", std::move(_key), std::move(_value)});
}

command::ptr context_impl::get_set_members(std::string _key) {
    return create_command({"SMEMBERS", std::move(_key)});
}

command::ptr context_impl::get_table(std::string _table) {
    return create_command({"HGETALL", std::move(_table)});
}

command::ptr context_impl::get_from_table(std::string _table, std::string _field) {
    return create_command({"HGET", std::move(_table), std::move(_field)});
}

command::ptr context_impl::get_from_table_multi(std::string _table) {
    return create_command({"HMGET", std::move(_table)});
}

command::ptr context_impl::set_to_table(std::string _table, std::string _field,
                                        std::string _value) {
    return create_command({"HSET", std::move(_table), std::move(_field), std::move(_value)});
}

command::ptr context_impl::set_to_table_multi(std::string _table) {
    return create_command({"HMSET", std::move(_table)});
}

command::ptr context_impl::increment_in_table(std::string _table, std::string _field,
                                              std::string _value) {
    return create_command({"HINCRBY", std::move(_table), std::move(_field), std::move(_value)});
}

command::ptr context_impl::delete_from_table(std::string _table, std::string _field) {
    return create_command({"HDEL", std::move(_table), std::move(_field)});
}

iteration_result context_impl::scan(std::string_view _pattern, callback _callback) {
    std::int32_t cursor = 0;
    do {
        const auto answer =
            create_command({"SCAN", std::to_string(cursor), "MATCH", std::string(_pattern)})
                ->execute();
        const auto parts = answer.as_array();
        cursor = static_cast<std::int32_t>(std::stol(parts[0].to_string()));
        const auto keys = parts[1].as_array();
        if (keys.for_each_element([&](const reply_element& _key) {
                return _callback(_key.as_string_view());
            }) == iteration_result::interrupted) {
            return iteration_result::interrupted;
        }
    } while (cursor != 0);
    return iteration_result::finished;
}

} // namespace nkp::libs::core::redis
