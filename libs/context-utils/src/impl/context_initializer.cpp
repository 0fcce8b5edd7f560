#include "context_initializer.hpp"

#include "core/exception.hpp"
#include "core/json.hpp"

#include <thread>

namespace nkp::libs::context_utils {

context_initializer::context_initializer(core::http::client& _http_client,
                                         core::events_loop& _events_loop,
                                         const core::component_logger& _logger,
                                         std::chrono::milliseconds _retry_pause)
    : m_http_client(_http_client)
    , m_events_loop(_events_loop)
    , m_logger(_logger)
    , m_retry_pause(_retry_pause) {}

void context_initializer::initialize() {
    const std::pair<const object_info*, callback*> kinds[] = {
        {&object_infos::trackable_object, &m_trackable_object_creating_callback},
        {&object_infos::zone, &m_zone_creating_callback},
        {&object_infos::sublocation, &m_sublocation_creating_callback},
        {&object_infos::node, &m_node_creating_callback}};
    for (const auto& [info, creating] : kinds) {
        if (*creating) {
            for_each_object_on_server(*info, [creating = creating](const json_object& _object) {
                (*creating)(_object);
                return true;
            });
        }
    }
}

bool context_initializer::for_each_object_on_server(const object_info& _info,
                                                    const bool_callback& _callback) {
    return for_each_object(_info, perform_get_request(_info.m_rest_endpoint), _callback);
}

json_answer context_initializer::perform_get_request(const std::string& _path) {
    for (;;) {
        if (m_events_loop.is_stopped()) {
            throw core::exception("Interrupted", CORE_SOURCE_LOCATION);
        }
        auto result = m_http_client.perform_request(core::http::method::get, _path);
        if (result.ok()) {
            return json_answer(core::json::parse(*result.data(), CORE_SOURCE_LOCATION));
        }
        log_failure(result, _path);
        std::this_thread::sleep_for(m_retry_pause);
    }
}

void context_initializer::log_failure(const core::http::result& _result,
                                      const std::string& _path) const {
    m_logger.error("Request failed with code: %1%, addr: %2%, response %3%")
            .location(CORE_SOURCE_LOCATION) %
        _result.status_code().value_or(-1) % _path % _result.error().value_or("{NONE}");
}

core::async_operation_handle<core::http::result>::ptr
context_initializer::get_objects_async(const object_info& _info, answer_callback _function) const {
    return m_http_client.perform_async_request(
        core::http::method::get, _info.m_rest_endpoint,
        [this, path = _info.m_rest_endpoint,
         function = std::move(_function)](core::http::result _result) {
            if (!_result.data()) {
                log_failure(_result, path);
                function(std::nullopt);
                return;
            }
            function(json_answer(core::json::parse(*_result.data(), CORE_SOURCE_LOCATION)));
        });
}

bool context_initializer::for_each_object(const object_info& _info, const json_answer& _answer,
                                          const bool_callback& _callback) const {
    const auto& list = _answer.get_json()[_info.m_rest_json_name];
    if (!list.isArray()) {
        throw core::exception("\"" + _info.m_rest_json_name + "\" is not an array!",
                              CORE_SOURCE_LOCATION);
    }
    for (const auto& element : list) {
        if (!_callback(json_object(element))) {
            return false;
        }
    }
    return true;
}

} // namespace nkp::libs::context_utils
