#include "core/timestamp.hpp"

#include "core/exception.hpp"

#include <cmath>
#include <cstdio>

namespace nkp::libs::core {

timestamp::timestamp(const std::string_view& _text) {
    auto parsed = try_parse(_text);
    if (!parsed) {
        throw exception("timestamp: \"" + std::string(_text) + "\" is invalid!",
                        CORE_SOURCE_LOCATION);
    }
    *this = *parsed;
}

std::optional<timestamp> timestamp::try_parse(const std::string_view& _json_string) {
    // sscanf needs a terminated text; a view gives no such promise.
    const std::string text(_json_string);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    char separator = 0;
    float seconds = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d%c%d:%d:%f", &year, &month, &day, &separator, &hour,
                    &minute, &seconds) < 7) {
        return std::nullopt;
    }
    std::tm broken_down{};
    broken_down.tm_year = year - 1900;
    broken_down.tm_mon = month - 1;
    broken_down.tm_mday = day;
    broken_down.tm_hour = hour;
    broken_down.tm_min = minute;
    broken_down.tm_sec = static_cast<int>(seconds);
    broken_down.tm_isdst = -1;
    const float fraction = seconds - static_cast<float>(broken_down.tm_sec);
    const auto milliseconds = static_cast<unsigned int>(std::roundf(fraction * 1000.0f));
    return timestamp(timegm(&broken_down), milliseconds);
}

timestamp timestamp::current_time() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return timestamp(now.tv_sec, static_cast<unsigned int>(now.tv_nsec / 1000000));
}

std::string timestamp::to_iso_8601(bool _with_milleseconds, char _delimiter, bool _with_Z) const {
    const std::time_t seconds = get_ts();
    std::tm broken_down{};
    gmtime_r(&seconds, &broken_down);
    char buffer[25] = {};
    std::strftime(buffer, sizeof(buffer), "%Y-%m-%d %H:%M:%S", &broken_down);
    std::string result(buffer);
    if (result.size() > 10) {
        result[10] = _delimiter;
    }
    if (_with_milleseconds) {
        char milliseconds[8];
        std::snprintf(milliseconds, sizeof(milliseconds), ".%03u", get_ms());
        result += milliseconds;
    }
    if (_with_Z) {
        result += 'Z';
    }
    return result;
}

std::time_t timestamp::get_ts() const {
    return static_cast<std::time_t>(
        std::chrono::floor<std::chrono::seconds>(m_time_point).time_since_epoch().count());
}

unsigned int timestamp::get_ms() const {
    const auto since_epoch = m_time_point.time_since_epoch();
    return static_cast<unsigned int>(
        (since_epoch - std::chrono::floor<std::chrono::seconds>(since_epoch)).count());
}

} // namespace nkp::libs::core
