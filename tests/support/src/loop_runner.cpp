#include "test_support/loop_runner.hpp"

namespace nkp::test_support {

bool run_until(libs::core::events_loop& _loop, const std::function<bool()>& _condition,
               std::chrono::milliseconds _timeout) {
    auto& io_context = _loop.get_io_context();
    const auto deadline = std::chrono::steady_clock::now() + _timeout;
    while (!_condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        if (io_context.stopped()) {
            io_context.restart();
        }
        io_context.run_one_until(deadline);
    }
    return true;
}

void run_for(libs::core::events_loop& _loop, std::chrono::milliseconds _duration) {
    auto& io_context = _loop.get_io_context();
    io_context.restart();
    io_context.run_for(_duration);
    io_context.restart();
}

} // namespace nkp::test_support
