#pragma once

#include "core/core.hpp"
#include "core/events_loop.hpp"
#include "core/http/client.hpp"
#include "core/logger.hpp"
#include "shared_curl_data.hpp"

#include <boost/asio/thread_pool.hpp>

#include <chrono>
#include <set>
#include <string>
#include <vector>

namespace nkp::libs::core::http {

class client_impl final : public client {
public:
    client_impl(events_loop& _main_events_loop, core& _core, const component_logger& _logger,
                const std::string& _address, std::chrono::seconds _timeout,
                const std::vector<method>& _disabled_methods, int _num_threads);
    // A transfer in progress finishes first; queued requests are dropped unrun.
    ~client_impl() override;

    // client
    result perform_request(method _method, std::string_view _address) override;
    result perform_request(method _method, std::string_view _address,
                           std::string_view _body) override;
    async_operation_handle<result>::ptr perform_async_request(method _method, std::string _address,
                                                              callback _callback) override;
    async_operation_handle<result>::ptr perform_async_request(method _method, std::string _address,
                                                              std::string _body,
                                                              callback _callback) override;
    async_operation_handle<result>::ptr perform_async_request(method _method, std::string _address,
                                                              std::string _body) override;

private:
    result perform_request_impl(method _method, std::string_view _address,
                                std::string_view _body) const;

    events_loop& m_main_events_loop;
    const component_logger& m_logger;
    const std::string m_address;
    const std::chrono::seconds m_timeout;
    const std::set<method> m_disabled_methods;
    shared_curl_data m_shared_curl_data;
    events_loop::ptr m_worker_events_loop;
    events_loop::work::ptr m_worker_events_loop_work;
    boost::asio::thread_pool m_worker_thread_pool;
};

} // namespace nkp::libs::core::http
