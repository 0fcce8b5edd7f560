#pragma once

namespace nkp::libs::core {

// A constructor parameter that only T can make, so a public constructor is still T's alone.
template <class T>
class badge {
    friend T;
    badge() = default;
};

} // namespace nkp::libs::core
