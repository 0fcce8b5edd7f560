#pragma once

#include "async_context.hpp"
#include "core/redis/context.hpp"
#include "sync_context.hpp"

#include <memory>
#include <optional>

namespace nkp::libs::core::redis {

class context_impl final : public context {
public:
    // The result is the context, or nothing when an attempt failed; restart() of a completed
    // attempt tries again.
    static async_operation_handle<std::optional<context::ptr>>::ptr
    create(events_loop& _events_loop, const component_logger& _logger, std::string_view _ip,
           int _port, std::string_view _password, int _db);

    context_impl(events_loop& _events_loop, const component_logger& _logger,
                 async_context::ptr _async, std::unique_ptr<sync_context> _sync)
        : m_events_loop(_events_loop)
        , m_logger(_logger)
        , m_async(std::move(_async))
        , m_sync(std::move(_sync)) {}

    // context
    command::ptr get(std::string _key) override;
    command::ptr set(std::string _key, std::string _value) override;
    command::ptr del(std::string _key) override;
    command::ptr add_to_set(std::string _key) override;
    command::ptr add_to_set(std::string _key, std::string _value) override;
    command::ptr remove_from_set(std::string _key, std::string _value) override;
    command::ptr get_set_members(std::string _key) override;
    command::ptr get_table(std::string _table) override;
    command::ptr get_from_table(std::string _table, std::string _field) override;
    command::ptr get_from_table_multi(std::string _table) override;
    command::ptr set_to_table(std::string _table, std::string _field, std::string _value) override;
    command::ptr set_to_table_multi(std::string _table) override;
    command::ptr increment_in_table(std::string _table, std::string _field,
                                    std::string _value) override;
    command::ptr delete_from_table(std::string _table, std::string _field) override;
    iteration_result scan(std::string_view _pattern, callback _callback) override;
    command::ptr create_command(args _args) override;

private:
    events_loop& m_events_loop;
    const component_logger& m_logger;
    async_context::ptr m_async;
    std::unique_ptr<sync_context> m_sync;
};

} // namespace nkp::libs::core::redis
