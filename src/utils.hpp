#pragma once

#include "core/redis/context.hpp"

#include <string_view>

namespace nkp {

// Deletes every key whose name begins with the branch name and ":", with one DEL.
void clear_branch(libs::core::redis::context& _redis_context, std::string_view _branch_name);

} // namespace nkp
