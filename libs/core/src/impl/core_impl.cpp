#include "core_impl.hpp"

#include "events_loop_impl.hpp"

namespace nkp::libs::core {

core::ptr core::create(const logger& _logger) {
    return std::make_unique<core_impl>(_logger);
}

events_loop::ptr core_impl::create_events_loop(const std::string&) {
    return std::make_unique<events_loop_impl>(*this, *m_logger);
}

} // namespace nkp::libs::core
