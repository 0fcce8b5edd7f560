#include "value_impl.hpp"

namespace nkp::libs::config {

boost::optional<bool> value_impl::as_bool() const {
    const auto* json = scalar();
    if (json == nullptr || !json->isBool()) {
        return boost::none;
    }
    return json->asBool();
}

boost::optional<int> value_impl::as_int() const {
    const auto* json = scalar();
    if (json == nullptr || !json->isIntegral()) {
        return boost::none;
    }
    return json->asInt();
}

boost::optional<double> value_impl::as_double() const {
    const auto* json = scalar();
    if (json == nullptr || !json->isDouble()) {
        return boost::none;
    }
    return json->asDouble();
}

boost::optional<std::string> value_impl::as_string() const {
    const auto* json = scalar();
    if (json == nullptr || !json->isString()) {
        return boost::none;
    }
    return json->asString();
}

boost::optional<const dictionary&> value_impl::as_object() const {
    const auto* object = std::get_if<std::reference_wrapper<const dictionary>>(&m_value);
    if (object == nullptr) {
        return boost::none;
    }
    return object->get();
}

boost::optional<value::array> value_impl::as_array() const {
    const auto* array = std::get_if<value::array>(&m_value);
    if (array == nullptr) {
        return boost::none;
    }
    return *array;
}

} // namespace nkp::libs::config
