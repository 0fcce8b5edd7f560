#pragma once

#include "config_parser/dictionary.hpp"
#include "config_parser/result.hpp"
#include "config_parser/value.hpp"

#include <initializer_list>
#include <istream>
#include <memory>
#include <string>

namespace nkp::libs::config {

enum class type { json = 0 };

// A parsed configuration document, never changed after create. References and ranges
// obtained from it live as long as it does.
class config {
public:
    using ptr = std::unique_ptr<config>;

    virtual ~config() = default;

    // Parses the whole stream; throws std::runtime_error "Cannot parse json: ..." on bad input.
    template <type T>
    static ptr create(std::istream& _stream);

    virtual const dictionary& get_root() const = 0;

    template <class T>
    boost::optional<T> get(const std::string& _key) const {
        return get_root().get<T>(_key);
    }

    // Keys from the root downwards; a failed result names the first missing object or field.
    template <class T>
    result<T> get_by_path(std::initializer_list<std::string> _path) const;
};

template <>
config::ptr config::create<type::json>(std::istream& _stream);

namespace detail {

// The path joined with ".".
std::string join_path(std::initializer_list<std::string> _path);

// The dictionary that holds the last key of a path of two keys or more, or the reason why
// an object on the way is missing.
result<const dictionary*> find_parent(const dictionary& _root,
                                      std::initializer_list<std::string> _path);

} // namespace detail

template <class T>
result<T> config::get_by_path(std::initializer_list<std::string> _path) const {
    boost::optional<T> found;
    if (_path.size() == 1) {
        found = get<T>(*_path.begin());
    } else {
        const auto parent = detail::find_parent(get_root(), _path);
        if (!parent.ok()) {
            return error_reason{parent.reason()};
        }
        found = parent.value()->template get<T>(*(_path.end() - 1));
    }
    if (!found) {
        return error_reason{"Can not find field <" + get_type_name<T>() +
                            ">: " + detail::join_path(_path)};
    }
    return *found;
}

} // namespace nkp::libs::config
