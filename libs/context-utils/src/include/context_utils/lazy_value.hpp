#pragma once

#include "core/exception.hpp"
#include "core/timestamp.hpp"

#include <boost/optional.hpp>
#include <jsoncpp/json/value.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace nkp::libs::context_utils {

struct utils {
    // '"<description or key>" is not <type words>!'
    static core::exception make_exception(const char* _key, const char* _description,
                                          const char* _type_name);
};

// A field converted from the object's JSON on its first successful read and cached; a
// failed read caches nothing, so the next read converts, and throws, again. Objects built on
// lazy values are used from one thread.
template <class Kind>
class lazy_value {
public:
    // _json holds the field as member _key; _description names it in errors (null: _key).
    typename Kind::return_type get(const Json::Value& _json, const char* _key,
                                   const char* _description = nullptr) const {
        if (!m_value) {
            m_value.emplace(Kind::convert(_json[_key], _key, _description));
        }
        return Kind::get_from_storage(m_value);
    }

private:
    mutable std::optional<typename Kind::storage_type> m_value;
};

namespace detail {

// A kind of one JSON type: Traits gives the test, the conversion and the type words.
template <class Traits, class Return = typename Traits::type>
struct scalar_kind {
    using storage_type = typename Traits::type;
    using return_type = Return;

    static std::optional<storage_type> try_convert(const Json::Value& _json) {
        if (!Traits::accepts(_json)) {
            return std::nullopt;
        }
        return Traits::convert(_json);
    }
    static storage_type convert(const Json::Value& _json, const char* _key,
                                const char* _description) {
        auto converted = try_convert(_json);
        if (!converted) {
            throw utils::make_exception(_key, _description, Traits::TYPE_WORDS);
        }
        return std::move(*converted);
    }
    static return_type get_from_storage(const std::optional<storage_type>& _storage) {
        return *_storage;
    }
};

struct string_traits {
    using type = std::string;
    static constexpr const char* TYPE_WORDS = "a string";
    static bool accepts(const Json::Value& _json) { return _json.isString(); }
    static type convert(const Json::Value& _json) { return _json.asString(); }
};
struct bool_traits {
    using type = bool;
    static constexpr const char* TYPE_WORDS = "a bool";
    static bool accepts(const Json::Value& _json) { return _json.isBool(); }
    static type convert(const Json::Value& _json) { return _json.asBool(); }
};
struct int_traits {
    using type = int;
    static constexpr const char* TYPE_WORDS = "an int";
    static bool accepts(const Json::Value& _json) { return _json.isInt(); }
    static type convert(const Json::Value& _json) { return _json.asInt(); }
};
struct uint_traits {
    using type = unsigned int;
    static constexpr const char* TYPE_WORDS = "an unsigned int";
    static bool accepts(const Json::Value& _json) { return _json.isUInt(); }
    static type convert(const Json::Value& _json) { return _json.asUInt(); }
};
struct numeric_traits {
    using type = int;
    static constexpr const char* TYPE_WORDS = "a number";
    static bool accepts(const Json::Value& _json) { return _json.isNumeric(); }
    static type convert(const Json::Value& _json) { return _json.asInt(); }
};
struct unumeric_traits {
    using type = unsigned int;
    static constexpr const char* TYPE_WORDS = "an unsigned number";
    static bool accepts(const Json::Value& _json) { return _json.isNumeric(); }
    static type convert(const Json::Value& _json) { return _json.asUInt(); }
};

} // namespace detail

struct string_value : detail::scalar_kind<detail::string_traits, const std::string&> {};
struct bool_value : detail::scalar_kind<detail::bool_traits> {};
struct int_value : detail::scalar_kind<detail::int_traits> {};
struct uint_value : detail::scalar_kind<detail::uint_traits> {};
// Any number; reals are truncated toward zero.
struct numeric_value : detail::scalar_kind<detail::numeric_traits> {};
struct unumeric_value : detail::scalar_kind<detail::unumeric_traits> {};

// An ISO 8601 date and time text, read as UTC.
struct timestamp_value {
    using storage_type = core::timestamp;
    using return_type = core::timestamp;

    static std::optional<storage_type> try_convert(const Json::Value& _json);
    static storage_type convert(const Json::Value& _json, const char* _key,
                                const char* _description);
    static return_type get_from_storage(const std::optional<storage_type>& _storage) {
        return *_storage;
    }
};

// A JSON object viewed through Impl, which keeps a reference to it.
template <class Interface, class Impl>
struct object_value {
    using storage_type = Impl;
    using return_type = const Interface&;

    static std::optional<storage_type> try_convert(const Json::Value& _json) {
        if (!_json.isObject()) {
            return std::nullopt;
        }
        return std::optional<storage_type>(std::in_place, _json);
    }
    static storage_type convert(const Json::Value& _json, const char* _key,
                                const char* _description) {
        if (!_json.isObject()) {
            throw utils::make_exception(_key, _description, "an object");
        }
        return storage_type(_json);
    }
    static return_type get_from_storage(const std::optional<storage_type>& _storage) {
        return *_storage;
    }
};

struct sort_values {
    template <class T>
    static void sort(std::vector<T>& _values) {
        std::sort(_values.begin(), _values.end());
    }
};
struct do_not_sort_values {
    template <class T>
    static void sort(std::vector<T>&) {}
};

// The elements that convert, others skipped silently, then sorted by the policy.
template <class Element, class SortPolicy>
struct array_value {
    using storage_type = std::vector<typename Element::storage_type>;
    using return_type = const storage_type&;

    static std::optional<storage_type> try_convert(const Json::Value& _json) {
        if (!_json.isArray()) {
            return std::nullopt;
        }
        std::optional<storage_type> values(std::in_place);
        values->reserve(_json.size());
        for (const auto& element : _json) {
            if (auto converted = Element::try_convert(element)) {
                values->push_back(std::move(*converted));
            }
        }
        SortPolicy::sort(*values);
        return values;
    }
    static storage_type convert(const Json::Value& _json, const char* _key,
                                const char* _description) {
        auto converted = try_convert(_json);
        if (!converted) {
            throw utils::make_exception(_key, _description, "an array");
        }
        return std::move(*converted);
    }
    static return_type get_from_storage(const std::optional<storage_type>& _storage) {
        return *_storage;
    }
};

// Missing, null and a wrong type all give an empty result; never throws for the type.
template <class Kind>
struct optional_value {
    using storage_type = std::optional<typename Kind::storage_type>;
    using return_type = boost::optional<typename Kind::return_type>;

    static storage_type convert(const Json::Value& _json, const char*, const char*) {
        return Kind::try_convert(_json);
    }
    static return_type get_from_storage(const std::optional<storage_type>& _storage) {
        if (!*_storage) {
            return boost::none;
        }
        return return_type(Kind::get_from_storage(*_storage));
    }
};

} // namespace nkp::libs::context_utils
