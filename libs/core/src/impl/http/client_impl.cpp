#include "client_impl.hpp"

#include "core/async_operation_handle_impl.hpp"
#include "core/constants.hpp"
#include "core/exception.hpp"
#include "core/scope_guard.hpp"

#include <boost/asio/post.hpp>

#include <sstream>

namespace nkp::libs::core::http {

namespace {

constexpr long CONNECT_TIMEOUT_SECONDS = 10;

std::size_t write_to_stream(char* _data, std::size_t _size, std::size_t _count, void* _stream) {
    static_cast<std::ostringstream*>(_stream)->write(_data,
                                                     static_cast<std::streamsize>(_size * _count));
    return _size * _count;
}

} // namespace

const char* to_string(method _method) {
    switch (_method) {
    case method::get:
        return "GET";
    case method::post:
        return "POST";
    case method::put:
        return "PUT";
    case method::del:
        return "DELETE";
    case method::_count:
        break;
    }
    throw exception("Unknown enumeration value", CORE_SOURCE_LOCATION);
}

client_impl::client_impl(events_loop& _main_events_loop, core& _core,
                         const component_logger& _logger, const std::string& _address,
                         std::chrono::seconds _timeout,
                         const std::vector<method>& _disabled_methods, int _num_threads)
    : m_main_events_loop(_main_events_loop)
    , m_logger(_logger)
    , m_address(_address)
    , m_timeout(_timeout)
    , m_disabled_methods(_disabled_methods.begin(), _disabled_methods.end())
    , m_worker_events_loop(_core.create_events_loop("http_client::worker"))
    , m_worker_events_loop_work(m_worker_events_loop->create_work())
    , m_worker_thread_pool(static_cast<std::size_t>(_num_threads)) {
    for (int i = 0; i < _num_threads; ++i) {
        boost::asio::post(m_worker_thread_pool, [this] { m_worker_events_loop->run(); });
    }
}

client_impl::~client_impl() {
    m_worker_events_loop_work.reset();
    m_worker_events_loop->stop();
    m_worker_thread_pool.join();
}

result client_impl::perform_request(method _method, std::string_view _address) {
    return perform_request(_method, _address, {});
}

result client_impl::perform_request(method _method, std::string_view _address,
                                    std::string_view _body) {
    return perform_request_impl(_method, _address, _body);
}

async_operation_handle<result>::ptr
client_impl::perform_async_request(method _method, std::string _address, callback _callback) {
    return perform_async_request(_method, std::move(_address), std::string(), std::move(_callback));
}

async_operation_handle<result>::ptr client_impl::perform_async_request(method _method,
                                                                       std::string _address,
                                                                       std::string _body,
                                                                       callback _callback) {
    auto handle = perform_async_request(_method, std::move(_address), std::move(_body));
    handle->set_callback(std::move(_callback));
    return handle;
}

async_operation_handle<result>::ptr
client_impl::perform_async_request(method _method, std::string _address, std::string _body) {
    using handle_type = async_operation_handle_impl<result>;
    auto address = std::make_shared<const std::string>(std::move(_address));
    auto body = std::make_shared<const std::string>(std::move(_body));
    auto handle = handle_type::create(
        m_main_events_loop, [this, _method, address, body](
                                const handle_type::ptr&, const std::weak_ptr<handle_type>& _weak) {
            m_worker_events_loop->post([this, _method, address, body, _weak] {
                if (_weak.expired()) {
                    return;
                }
                // Not kept alive while the transfer runs: dropping it abandons the result.
                auto outcome = [&] {
                    try {
                        return perform_request_impl(_method, *address, *body);
                    } catch (...) {
                        return result("http_client: " + exception_to_string());
                    }
                }();
                if (const auto target = _weak.lock()) {
                    target->return_result(std::move(outcome));
                }
            });
        });
    handle->start();
    return handle;
}

result client_impl::perform_request_impl(method _method, std::string_view _address,
                                         std::string_view _body) const {
    CURL* curl_handle = curl_easy_init();
    CORE_CHECK(curl_handle != NULL);
    curl_slist* headers = nullptr;
    const auto cleanup = execute_on_scope_exit([&] {
        curl_slist_free_all(headers);
        curl_easy_cleanup(curl_handle);
    });

    if (!_body.empty()) {
        headers = curl_slist_append(headers, "content-type: application/json");
        curl_easy_setopt(curl_handle, CURLOPT_POSTFIELDSIZE, static_cast<long>(_body.size()));
        curl_easy_setopt(curl_handle, CURLOPT_POSTFIELDS, _body.data());
    }
    std::ostringstream received;
    const std::string url = m_address + std::string(_address);
    curl_easy_setopt(curl_handle, CURLOPT_USERAGENT, constants::project_name.c_str());
    curl_easy_setopt(curl_handle, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl_handle, CURLOPT_CUSTOMREQUEST, to_string(_method));
    curl_easy_setopt(curl_handle, CURLOPT_WRITEFUNCTION, &write_to_stream);
    curl_easy_setopt(curl_handle, CURLOPT_WRITEDATA, &received);
    curl_easy_setopt(curl_handle, CURLOPT_TIMEOUT, static_cast<long>(m_timeout.count()));
    curl_easy_setopt(curl_handle, CURLOPT_CONNECTTIMEOUT, CONNECT_TIMEOUT_SECONDS);
    curl_easy_setopt(curl_handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl_handle, CURLOPT_SHARE, m_shared_curl_data.get_ptr());
    curl_easy_setopt(curl_handle, CURLOPT_URL, url.c_str());
    // Worker threads must not be interrupted by libcurl's timeout signals.
    curl_easy_setopt(curl_handle, CURLOPT_NOSIGNAL, 1L);

    if (m_disabled_methods.contains(_method)) {
        return result(std::string(), 200);
    }
    const CURLcode code = curl_easy_perform(curl_handle);
    if (code != CURLE_OK) {
        return result(std::string("curl_easy_perform failed:") + curl_easy_strerror(code));
    }
    long response_code = 0;
    curl_easy_getinfo(curl_handle, CURLINFO_RESPONSE_CODE, &response_code);
    return result(received.str(), static_cast<int>(response_code));
}

} // namespace nkp::libs::core::http
