#pragma once

#include "config_parser/value.hpp"

#include <boost/optional.hpp>

#include <string>
#include <vector>

namespace nkp::libs::config {

// String keys to values of a configuration document.
class dictionary {
public:
    virtual ~dictionary() = default;

    virtual boost::optional<const value&> get_value(const std::string& _key) const = 0;
    // All keys, in ascending order.
    virtual std::vector<std::string> get_keys() const = 0;

    // Empty when the key is absent or its value is not of kind T.
    template <class T>
    boost::optional<T> get(const std::string& _key) const {
        const auto found = get_value(_key);
        if (!found) {
            return boost::none;
        }
        return found->template get<T>();
    }
};

} // namespace nkp::libs::config
