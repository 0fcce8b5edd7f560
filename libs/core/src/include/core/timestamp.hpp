#pragma once

#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace nkp::libs::core {

// Wall-clock time in milliseconds since 1970-01-01 00:00:00 UTC.
class timestamp {
public:
    using time_point =
        std::chrono::time_point<std::chrono::system_clock, std::chrono::milliseconds>;

    timestamp() = default;
    timestamp(std::time_t _seconds, unsigned int _milliseconds)
        : m_time_point(std::chrono::milliseconds(static_cast<std::int64_t>(_seconds) * 1000 +
                                                 _milliseconds)) {}
    explicit timestamp(std::chrono::milliseconds _milliseconds)
        : m_time_point(_milliseconds) {}
    // Parses like try_parse; throws exception 'timestamp: "<text>" is invalid!' otherwise.
    explicit timestamp(const std::string_view& _text);

    // Reads "Y-M-D?h:m:s[.fraction]" as UTC; whatever follows the seconds is ignored.
    static std::optional<timestamp> try_parse(const std::string_view& _json_string);
    static timestamp current_time();

    std::string to_iso_8601(bool _with_milleseconds, char _delimiter, bool _with_Z) const;

    std::time_t get_ts() const;
    unsigned int get_ms() const;
    std::chrono::milliseconds get_time_since_epoch() const {
        return m_time_point.time_since_epoch();
    }

    friend auto operator<=>(const timestamp&, const timestamp&) = default;

private:
    time_point m_time_point{};
};

} // namespace nkp::libs::core
