#pragma once

namespace nkp::test_support {

// A loopback TCP port that nobody listened on a moment ago.
int free_port();

} // namespace nkp::test_support
