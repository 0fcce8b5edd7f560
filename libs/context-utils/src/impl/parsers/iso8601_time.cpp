#include "iso8601_time.hpp"

#include <cstdlib>
#include <ctime>
#include <string>

namespace nkp::libs::context_utils::parsers {

std::optional<iso8601_time::time> iso8601_time::parse_time(std::string_view _text) {
    if (_text.size() < 24) {
        return std::nullopt;
    }
    // strtol needs a terminated text.
    const std::string text(_text);
    const auto number_at = [&](std::size_t _position) {
        return static_cast<int>(std::strtol(text.c_str() + _position, nullptr, 10));
    };
    std::tm broken_down{};
    broken_down.tm_year = number_at(0) - 1900;
    broken_down.tm_mon = number_at(5) - 1;
    broken_down.tm_mday = number_at(8);
    broken_down.tm_hour = number_at(11);
    broken_down.tm_min = number_at(14);
    broken_down.tm_sec = number_at(17);
    broken_down.tm_isdst = 0;
    return time{static_cast<unsigned int>(timegm(&broken_down)),
                static_cast<unsigned int>(number_at(20))};
}

} // namespace nkp::libs::context_utils::parsers
