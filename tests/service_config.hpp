#pragma once

#include <jsoncpp/json/value.h>

#include <string>

namespace nkp::tests {

// A complete, valid service configuration that tests change one key at a time.
Json::Value valid_config_json();

} // namespace nkp::tests
