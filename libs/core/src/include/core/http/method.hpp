#pragma once

#include <cstdint>

namespace nkp::libs::core::http {

enum class method : std::int32_t { get = 0, post = 1, put = 2, del = 3, _count = 4 };

// "GET", "POST", "PUT", "DELETE"; throws exception "Unknown enumeration value" otherwise.
const char* to_string(method _method);

} // namespace nkp::libs::core::http
