#pragma once

#include "core/async_operation_handle.hpp"
#include "core/events_loop.hpp"
#include "core/http/client.hpp"
#include "core/logger.hpp"
#include "json_value.hpp"
#include "object_infos.hpp"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace nkp::libs::context_utils {

// Fetches the lists of the location system's objects from the REST server. Used on the
// events loop thread.
class context_initializer {
public:
    using callback = std::function<void(const json_object&)>;
    // False stops a walk.
    using bool_callback = std::function<bool(const json_object&)>;
    using answer_callback = std::function<void(std::optional<json_answer>)>;

    static constexpr std::chrono::seconds RETRY_PAUSE{5};

    context_initializer(core::http::client& _http_client, core::events_loop& _events_loop,
                        const core::component_logger& _logger,
                        std::chrono::milliseconds _retry_pause = RETRY_PAUSE);

    // Replays the server's objects to the creating callbacks; kinds without one are not
    // fetched.
    void initialize();
    void on_zone_creating(callback _callback) { m_zone_creating_callback = std::move(_callback); }
    void on_trackable_object_creating(callback _callback) {
        m_trackable_object_creating_callback = std::move(_callback);
    }
    void on_sublocation_creating(callback _callback) {
        m_sublocation_creating_callback = std::move(_callback);
    }
    void on_node_creating(callback _callback) { m_node_creating_callback = std::move(_callback); }

    // Blocks until the server answers, retrying after a pause; throws "Interrupted" once the
    // loop is stopped.
    bool for_each_object_on_server(const object_info& _info, const bool_callback& _callback);
    // The function gets the answer on the loop, or nothing when the request failed (logged).
    // Dropping the handle abandons the fetch.
    core::async_operation_handle<core::http::result>::ptr
    get_objects_async(const object_info& _info, answer_callback _function) const;
    // Throws '"<list member>" is not an array!' when the answer holds no list.
    bool for_each_object(const object_info& _info, const json_answer& _answer,
                         const bool_callback& _callback) const;

private:
    json_answer perform_get_request(const std::string& _path);
    void log_failure(const core::http::result& _result, const std::string& _path) const;

    core::http::client& m_http_client;
    core::events_loop& m_events_loop;
    const core::component_logger& m_logger;
    callback m_zone_creating_callback;
    callback m_trackable_object_creating_callback;
    callback m_sublocation_creating_callback;
    callback m_node_creating_callback;
    std::chrono::milliseconds m_retry_pause;
};

} // namespace nkp::libs::context_utils
