#pragma once

#include "core/source_location.hpp"

#include <jsoncpp/json/value.h>

#include <string>
#include <string_view>

namespace nkp::libs::core::json {

struct parse_result {
    Json::Value result;
    bool ok = false;
    std::string error;
};

// Never throws for bad input.
parse_result try_parse(std::string_view _text);
// Throws exception "parse error: ..." located at _location.
Json::Value parse(std::string_view _text, source_location _location);
// Compact, one-line text.
std::string to_string(const Json::Value& _value);
// The string content of a string value, empty for anything else; lives as long as the value.
std::string_view as_string_view(const Json::Value& _value);

} // namespace nkp::libs::core::json
