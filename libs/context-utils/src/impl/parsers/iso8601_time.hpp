#pragma once

#include <optional>
#include <string_view>

namespace nkp::libs::context_utils::parsers {

// The fixed layout "YYYY-MM-DDTHH:MM:SS.mmmZ", read as UTC.
struct iso8601_time {
    struct time {
        unsigned int ts;
        unsigned int ms;
    };
    static std::optional<time> parse_time(std::string_view _text);
};

} // namespace nkp::libs::context_utils::parsers
