#pragma once

#include <chrono>
#include <memory>

namespace nkp::libs::core {

// Calls back at a fixed rate on an events loop, without drift; ticks missed while the loop
// was busy are skipped, not made up.
class periodic_timer {
public:
    using ptr = std::unique_ptr<periodic_timer>;
    // Selects a first call at once, on the loop.
    struct execute_now {};

    virtual ~periodic_timer() = default;

    // A new period; the next call comes one new period from now.
    virtual void reset(std::chrono::nanoseconds _period) = 0;
    // No more calls until restart() or reset().
    virtual void stop() = 0;
    // The next call comes one period from now.
    virtual void restart() = 0;
    // The next call comes at once, later ones a period apart from now. Not for a stopped timer.
    virtual void expire_now() = 0;
};

} // namespace nkp::libs::core
