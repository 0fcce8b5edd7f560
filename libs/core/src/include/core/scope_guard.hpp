#pragma once

#include <memory>
#include <type_traits>
#include <utility>

namespace nkp::libs::core {

namespace detail {

class scope_guard {
public:
    virtual ~scope_guard() = default;
};

template <class F>
class scope_guard_impl final : public scope_guard {
public:
    explicit scope_guard_impl(F&& _callback)
        : m_callback(std::move(_callback)) {}
    ~scope_guard_impl() override {
        if (m_should_execute) {
            m_callback();
        }
    }

private:
    bool m_should_execute = true;
    F m_callback;
};

} // namespace detail

// Runs its callable exactly once, when the owner is destroyed or reset.
using scope_guard = std::unique_ptr<detail::scope_guard>;

template <class F>
scope_guard execute_on_scope_exit(F&& _f) {
    using callable = std::decay_t<F>;
    return std::make_unique<detail::scope_guard_impl<callable>>(callable(std::forward<F>(_f)));
}

} // namespace nkp::libs::core
