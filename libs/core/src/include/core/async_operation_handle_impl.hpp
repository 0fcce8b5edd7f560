#pragma once

#include "core/async_operation_handle.hpp"
#include "core/badge.hpp"
#include "core/events_loop.hpp"

#include <atomic>
#include <functional>
#include <memory>

namespace nkp::libs::core {

// The producer's side of an asynchronous operation handle.
template <class Result>
class async_operation_handle_impl final
    : public async_operation_handle<Result>,
      public std::enable_shared_from_this<async_operation_handle_impl<Result>> {
public:
    using ptr = std::shared_ptr<async_operation_handle_impl<Result>>;
    // The shared owner is valid only during the call; queued work keeps the weak reference.
    using start_function =
        std::function<void(const ptr&, const std::weak_ptr<async_operation_handle_impl<Result>>&)>;

    // Not started; producers call start() before handing the handle out.
    static ptr create(events_loop& _events_loop, start_function _start_function) {
        return std::make_shared<async_operation_handle_impl<Result>>(
            _events_loop, std::move(_start_function), badge<async_operation_handle_impl<Result>>());
    }

    async_operation_handle_impl(events_loop& _events_loop, start_function _start_function,
                                badge<async_operation_handle_impl<Result>>)
        : m_events_loop(_events_loop)
        , m_start_function(std::move(_start_function)) {}
    async_operation_handle_impl(const async_operation_handle_impl&) = delete;
    async_operation_handle_impl& operator=(const async_operation_handle_impl&) = delete;

    void start() {
        m_completed = false;
        auto self = this->shared_from_this();
        m_start_function(self, std::weak_ptr<async_operation_handle_impl<Result>>(self));
    }

    // async_operation_handle
    bool is_complete() const override { return m_completed; }
    void restart() override { start(); }

    // Callable from any thread; each call queues its own delivery, in call order.
    void return_result(Result&& _result) {
        auto result = std::make_shared<Result>(std::move(_result));
        std::weak_ptr<async_operation_handle_impl<Result>> weak = this->weak_from_this();
        m_events_loop.post([weak = std::move(weak), result = std::move(result)] {
            const auto handle = weak.lock();
            if (!handle) {
                return;
            }
            // A copy, so that a callback may replace itself while it runs.
            auto callback = handle->get_callback();
            if (callback) {
                callback(std::move(*result));
            }
        });
        m_completed = true;
    }

private:
    events_loop& m_events_loop;
    std::atomic<bool> m_completed{false};
    start_function m_start_function;
};

} // namespace nkp::libs::core
