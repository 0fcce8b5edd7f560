#pragma once

#include <boost/optional.hpp>
#include <boost/range/any_range.hpp>

#include <cstdint>
#include <string>
#include <type_traits>

namespace nkp::libs::config {

class dictionary;

// One node of a configuration document. Each as_ operation is empty when the node is not
// of that kind; nothing converts between kinds.
class value {
public:
    using array =
        boost::any_range<value, boost::bidirectional_traversal_tag, const value&, std::int64_t>;

    value() = default;
    value(const value&) = default;
    value& operator=(const value&) = default;
    virtual ~value() = default;

    virtual boost::optional<bool> as_bool() const = 0;
    // Any integral number; throws the JSON library's range error past 32 bits.
    virtual boost::optional<int> as_int() const = 0;
    virtual boost::optional<double> as_double() const = 0;
    virtual boost::optional<std::string> as_string() const = 0;
    virtual boost::optional<const dictionary&> as_object() const = 0;
    virtual boost::optional<array> as_array() const = 0;

    template <class T>
    boost::optional<T> get() const {
        if constexpr (std::is_same_v<T, bool>) {
            return as_bool();
        } else if constexpr (std::is_same_v<T, int>) {
            return as_int();
        } else if constexpr (std::is_same_v<T, double>) {
            return as_double();
        } else if constexpr (std::is_same_v<T, std::string>) {
            return as_string();
        } else if constexpr (std::is_same_v<T, const dictionary&>) {
            return as_object();
        } else {
            static_assert(std::is_same_v<T, array>, "no such kind of configuration value");
            return as_array();
        }
    }
};

} // namespace nkp::libs::config
