#pragma once

#include <boost/optional.hpp>

#include <optional>
#include <string>

namespace nkp::libs::core::http {

// The outcome of one request: a status with a body, or an error text without a status.
class result {
public:
    // No response was obtained.
    explicit result(std::string _error)
        : m_error(std::move(_error)) {}
    // A response; outside 200 to 299 its body is the error text.
    result(std::string _data, int _code)
        : m_code(_code) {
        if (ok()) {
            m_data = std::move(_data);
        } else {
            m_error = std::move(_data);
        }
    }

    bool ok() const {
        const int code = m_code.value_or(-1);
        return code >= 200 && code < 300;
    }
    std::optional<int> status_code() const { return m_code; }
    boost::optional<const std::string&> data() const& {
        return m_data ? boost::optional<const std::string&>(*m_data) : boost::none;
    }
    std::optional<std::string> data() && { return std::move(m_data); }
    std::optional<std::string> error() const { return m_error; }

private:
    std::optional<int> m_code;
    std::optional<std::string> m_data;
    std::optional<std::string> m_error;
};

} // namespace nkp::libs::core::http
