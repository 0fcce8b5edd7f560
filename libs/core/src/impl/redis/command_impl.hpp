#pragma once

#include "async_context.hpp"
#include "core/redis/command.hpp"
#include "sync_context.hpp"

#include <list>
#include <memory>
#include <string>
#include <vector>

namespace nkp::libs::core::redis {

class command_impl final : public command {
public:
    command_impl(events_loop& _events_loop, const component_logger& _logger, sync_context& _sync,
                 async_context& _async)
        : m_events_loop(_events_loop)
        , m_logger(_logger)
        , m_sync(_sync)
        , m_async(_async)
        , m_data(std::make_shared<data>()) {}

    // command
    command& add_argument(std::string _argument) override;
    reply execute() override;
    async_operation_handle<reply>::ptr execute_async() override;

private:
    // The arguments where hiredis's argument vectors can point at them: the list never moves
    // its strings.
    struct data {
        std::list<std::string> m_argv_keeper;
        std::vector<const char*> m_argv;
        std::vector<std::size_t> m_argv_len;
    };

    events_loop& m_events_loop;
    const component_logger& m_logger;
    sync_context& m_sync;
    async_context& m_async;
    std::shared_ptr<data> m_data;
};

} // namespace nkp::libs::core::redis
