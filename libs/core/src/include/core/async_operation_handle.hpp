#pragma once

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace nkp::libs::core {

// One asynchronous operation whose result is always delivered on the events loop the
// handle was made with. Producers keep only weak references: dropping the last owner
// abandons the delivery.
template <class... Result>
class async_operation_handle {
public:
    using callback = std::function<void(Result...)>;
    using void_callback = std::function<void()>;
    using ptr = std::shared_ptr<async_operation_handle<Result...>>;

    virtual ~async_operation_handle() = default;

    // True from the moment a result was handed to the loop until the next restart(). On
    // another thread's result it may still be false inside the callback.
    virtual bool is_complete() const = 0;
    // Starts the operation again; the callback stays set.
    virtual void restart() = 0;

    // Set on the loop thread, in the turn that received the handle, so no result is missed.
    template <class F>
    requires std::is_constructible_v<callback, F>
    void set_callback(F&& _callback) { m_callback = callback(std::forward<F>(_callback)); }
    void set_callback(void_callback _callback) {
        m_callback = [callback = std::move(_callback)](Result...) {
            if (callback) {
                callback();
            }
        };
    }

protected:
    callback& get_callback() { return m_callback; }

private:
    callback m_callback;
};

} // namespace nkp::libs::core
