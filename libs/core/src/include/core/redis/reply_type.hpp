#pragma once

#include <cstdint>

namespace nkp::libs::core {

// How a walk over elements ended.
enum class iteration_result : std::int32_t { finished = 0, interrupted = 1 };

namespace redis {

// The Redis protocol's reply types, with their values in the protocol library.
enum class reply_type : std::int32_t {
    STRING = 1,
    ARRAY = 2,
    INTEGER = 3,
    NIL = 4,
    STATUS = 5,
    ERROR = 6,
    _count = 7
};

// "string", "array", ...; throws exception "Unknown enumeration value" otherwise.
const char* to_string(reply_type _type);

} // namespace redis

} // namespace nkp::libs::core
