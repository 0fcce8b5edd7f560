#pragma once

#include "config_parser/value.hpp"

#include <boost/optional.hpp>
#include <boost/type_index.hpp>

#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>

namespace nkp::libs::config {

struct error_reason {
    std::string reason;
};

// A looked-up value, or the reason why it is not there.
template <class T>
class result {
public:
    result(T _value)
        : m_data(std::in_place_index<0>, std::move(_value)) {}
    result(error_reason _reason)
        : m_data(std::in_place_index<1>, std::move(_reason)) {}

    bool ok() const { return m_data.index() == 0; }
    boost::optional<T> try_get() const {
        if (!ok()) {
            return boost::none;
        }
        return std::get<0>(m_data);
    }
    // Throws boost::bad_optional_access on a failed result.
    T value() const { return try_get().value(); }
    // Empty for a successful result.
    std::string reason() const { return ok() ? std::string() : std::get<1>(m_data).reason; }

private:
    std::variant<T, error_reason> m_data;
};

// The name of a type in error messages.
template <class T>
std::string get_type_name() {
    if constexpr (std::is_same_v<T, std::string>) {
        return "string";
    } else if constexpr (std::is_same_v<T, value::array>) {
        return "array";
    } else {
        return boost::typeindex::type_id<T>().pretty_name();
    }
}

namespace detail {

template <class T>
struct is_tuple : std::false_type {};
template <class... Ts>
struct is_tuple<std::tuple<Ts...>> : std::true_type {};

} // namespace detail

template <class T>
auto ensure_tuple(T _value) {
    if constexpr (detail::is_tuple<T>::value) {
        return _value;
    } else {
        return std::make_tuple(std::move(_value));
    }
}

// Both values in order as one tuple, or the reasons of every failed side, one per line.
template <class A, class B>
auto operator+(const result<A>& _left, const result<B>& _right) {
    using combined = decltype(std::tuple_cat(ensure_tuple(std::declval<A>()),
                                             std::make_tuple(std::declval<B>())));
    if (_left.ok() && _right.ok()) {
        return result<combined>(
            std::tuple_cat(ensure_tuple(_left.value()), std::make_tuple(_right.value())));
    }
    if (!_left.ok() && !_right.ok()) {
        return result<combined>(error_reason{_left.reason() + "\n" + _right.reason()});
    }
    return result<combined>(error_reason{_left.ok() ? _right.reason() : _left.reason()});
}

} // namespace nkp::libs::config
