#include "config_parser/config.hpp"

#include "config_json_impl.hpp"

#include <stdexcept>

namespace nkp::libs::config {

template <>
config::ptr config::create<type::json>(std::istream& _stream) {
    return std::make_unique<config_json_impl>(_stream);
}

namespace detail {

std::string join_path(std::initializer_list<std::string> _path) {
    std::string joined;
    for (const auto& key : _path) {
        if (&key != _path.begin()) {
            joined += '.';
        }
        joined += key;
    }
    return joined;
}

result<const dictionary*> find_parent(const dictionary& _root,
                                      std::initializer_list<std::string> _path) {
    if (_path.size() < 2) {
        throw std::invalid_argument("find_parent: a path of two keys or more is needed");
    }
    const dictionary* current = &_root;
    std::string walked;
    for (auto key = _path.begin(); key + 1 != _path.end(); ++key) {
        if (key != _path.begin()) {
            walked += '.';
        }
        walked += *key;
        const auto next = current->get<const dictionary&>(*key);
        if (!next) {
            return error_reason{"Can not find object <object>: " + walked +
                                ", path: " + join_path(_path)};
        }
        current = &*next;
    }
    return current;
}

} // namespace detail

} // namespace nkp::libs::config
