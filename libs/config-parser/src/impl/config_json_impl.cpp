#include "config_json_impl.hpp"

#include <jsoncpp/json/reader.h>

#include <stdexcept>
#include <string>

namespace nkp::libs::config {

config_json_impl::config_json_impl(std::istream& _stream) {
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    Json::Value document;
    std::string errors;
    if (!Json::parseFromStream(builder, _stream, &document, &errors)) {
        throw std::runtime_error("Cannot parse json: " + errors);
    }
    auto& root = m_dictionaries.emplace_back();
    if (document.isObject()) {
        fill_dictionary(root, document);
    }
}

void config_json_impl::fill_dictionary(dictionary_impl& _dictionary, const Json::Value& _object) {
    for (auto member = _object.begin(); member != _object.end(); ++member) {
        _dictionary.add(member.name(), make_value(*member));
    }
}

value_impl config_json_impl::make_value(const Json::Value& _json) {
    if (_json.isObject()) {
        auto& dictionary = m_dictionaries.emplace_back();
        fill_dictionary(dictionary, _json);
        return value_impl(std::cref<libs::config::dictionary>(dictionary));
    }
    if (_json.isArray()) {
        auto& elements = m_arrays.emplace_back();
        elements.reserve(_json.size());
        for (const auto& element : _json) {
            elements.push_back(make_value(element));
        }
        return value_impl(value::array(elements));
    }
    return value_impl(_json);
}

} // namespace nkp::libs::config
