#pragma once

#include <memory>

namespace nkp::libs::core {

enum class ip_protocol { v4, v6 };

namespace udp {

// A UDP socket of an events loop. The service has no use for them; the loop's factories
// refuse with an exception.
class socket {
public:
    using ptr = std::unique_ptr<socket>;
    virtual ~socket() = default;
};

} // namespace udp

} // namespace nkp::libs::core
