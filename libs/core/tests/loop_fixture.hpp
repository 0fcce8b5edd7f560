#pragma once

#include "core/core.hpp"
#include "core/events_loop.hpp"
#include "core/logger.hpp"

#include "test_support/log_collector.hpp"

namespace nkp::libs::core::tests {

// A real core and loop whose log lines reach a collector.
class loop_fixture {
protected:
    loop_fixture() { m_logger.connect(m_collector.endpoint()); }

    test_support::log_collector m_collector;
    logger m_logger{"brimwatch", "main"};
    core::ptr m_core = core::create(m_logger);
    events_loop::ptr m_loop = m_core->create_events_loop("main loop");
};

} // namespace nkp::libs::core::tests
