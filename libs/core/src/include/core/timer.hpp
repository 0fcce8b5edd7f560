#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace nkp::libs::core {

// A one-shot timer on an events loop. Its callback never runs after the timer was stopped,
// re-armed or destroyed, even when the expiry was already queued.
class timer {
public:
    using ptr = std::unique_ptr<timer>;
    using time_point = std::chrono::time_point<std::chrono::steady_clock, std::chrono::nanoseconds>;
    // Receives the time point the call was scheduled for, not the time it runs.
    using callback = std::function<void(time_point)>;

    virtual ~timer() = default;

    virtual bool is_waiting() const = 0;
    // Re-arms for a new time; a pending expiry is dropped.
    virtual void reset(time_point _time_point) = 0;
    virtual void stop() = 0;
};

} // namespace nkp::libs::core
