#pragma once

#include "core/async_operation_handle.hpp"
#include "core/http/method.hpp"
#include "core/http/result.hpp"

#include <memory>
#include <string>
#include <string_view>

namespace nkp::libs::core::http {

// Requests to one server; every URL is the server address followed by the path, as they are.
// A disabled method is never sent and is answered locally with status 200 and an empty body.
class client {
public:
    using ptr = std::unique_ptr<client>;
    using callback = async_operation_handle<result>::callback;

    virtual ~client() = default;

    // On the calling thread; a body is sent with "content-type: application/json".
    virtual result perform_request(method _method, std::string_view _address) = 0;
    virtual result perform_request(method _method, std::string_view _address,
                                   std::string_view _body) = 0;
    // On a worker thread; the result arrives on the events loop that made the client. A
    // request whose handle is dropped before a worker takes it is never sent.
    virtual async_operation_handle<result>::ptr
    perform_async_request(method _method, std::string _address, callback _callback) = 0;
    virtual async_operation_handle<result>::ptr perform_async_request(method _method,
                                                                      std::string _address,
                                                                      std::string _body,
                                                                      callback _callback) = 0;
    virtual async_operation_handle<result>::ptr
    perform_async_request(method _method, std::string _address, std::string _body) = 0;
};

} // namespace nkp::libs::core::http
