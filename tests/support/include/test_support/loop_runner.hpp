#pragma once

#include "core/events_loop.hpp"

#include <chrono>
#include <functional>

namespace nkp::test_support {

// Runs the loop's handlers on this thread until the condition holds or the timeout passes;
// returns the condition.
bool run_until(libs::core::events_loop& _loop, const std::function<bool()>& _condition,
               std::chrono::milliseconds _timeout);

// Runs the loop for a while, to show that something does not happen.
void run_for(libs::core::events_loop& _loop, std::chrono::milliseconds _duration);

} // namespace nkp::test_support
