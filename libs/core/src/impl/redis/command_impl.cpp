#include "command_impl.hpp"

#include "core/async_operation_handle_impl.hpp"

namespace nkp::libs::core::redis {

command& command_impl::add_argument(std::string _argument) {
    const auto& kept = m_data->m_argv_keeper.emplace_back(std::move(_argument));
    m_data->m_argv.push_back(kept.data());
    m_data->m_argv_len.push_back(kept.size());
    return *this;
}

reply command_impl::execute() {
    return m_sync.run_command(m_data->m_argv, m_data->m_argv_len);
}

async_operation_handle<reply>::ptr command_impl::execute_async() {
    using handle_type = async_operation_handle_impl<reply>;
    auto handle = handle_type::create(
        m_events_loop, [data = m_data, &async = m_async](const handle_type::ptr&,
                                                         const std::weak_ptr<handle_type>& _weak) {
            async.run_command(data->m_argv, data->m_argv_len, [_weak](reply _reply) {
                if (const auto target = _weak.lock()) {
                    target->return_result(std::move(_reply));
                }
            });
        });
    handle->start();
    return handle;
}

} // namespace nkp::libs::core::redis
