#pragma once

#include "config_parser/dictionary.hpp"
#include "config_parser/value.hpp"

#include <jsoncpp/json/value.h>

#include <functional>
#include <variant>

namespace nkp::libs::config {

// A scalar (or null) JSON value, an object's dictionary, or an array's range. Dictionaries
// and arrays are owned by the document and never move.
class value_impl final : public value {
public:
    using data = std::variant<Json::Value, std::reference_wrapper<const dictionary>, value::array>;

    explicit value_impl(data _value)
        : m_value(std::move(_value)) {}

    // value
    boost::optional<bool> as_bool() const override;
    boost::optional<int> as_int() const override;
    boost::optional<double> as_double() const override;
    boost::optional<std::string> as_string() const override;
    boost::optional<const dictionary&> as_object() const override;
    boost::optional<value::array> as_array() const override;

private:
    const Json::Value* scalar() const { return std::get_if<Json::Value>(&m_value); }

    data m_value;
};

} // namespace nkp::libs::config
