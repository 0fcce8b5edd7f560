#pragma once

#include <boost/optional.hpp>

#include <functional>
#include <vector>

namespace nkp::libs::context_utils::objects {

// Calls back for each element of an optional list; stops at the first false and returns
// false, true otherwise (also without a list).
template <class Interface, class Element>
bool for_each_element(const boost::optional<const std::vector<Element>&>& _elements,
                      const std::function<bool(const Interface&)>& _callback) {
    if (!_elements) {
        return true;
    }
    for (const auto& element : *_elements) {
        if (!_callback(element)) {
            return false;
        }
    }
    return true;
}

} // namespace nkp::libs::context_utils::objects
