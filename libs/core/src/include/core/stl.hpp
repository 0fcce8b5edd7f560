#pragma once

#include <boost/optional.hpp>

#include <utility>

namespace nkp::libs::core {

// The mapped value for a key, or nothing; never inserts. Maps with a transparent
// comparator are searched without building a key.
template <class Map, class Key>
auto lookup(Map& _map, const Key& _key) {
    using mapped = std::conditional_t<std::is_const_v<Map>, const typename Map::mapped_type,
                                      typename Map::mapped_type>;
    auto it = _map.find(_key);
    if (it == _map.end()) {
        return boost::optional<mapped&>();
    }
    return boost::optional<mapped&>(it->second);
}

} // namespace nkp::libs::core
