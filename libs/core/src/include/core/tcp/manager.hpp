#pragma once

namespace nkp::libs::core::tcp {

// TCP connections of an events loop. The service has no use for them; the loop's get_tcp()
// refuses with an exception.
class manager {
public:
    virtual ~manager() = default;
};

} // namespace nkp::libs::core::tcp
