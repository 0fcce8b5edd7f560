#include "context_utils/lazy_value.hpp"

namespace nkp::libs::context_utils {

namespace {

const char* name_of(const char* _key, const char* _description) {
    return _description != nullptr ? _description : _key;
}

} // namespace

core::exception utils::make_exception(const char* _key, const char* _description,
                                      const char* _type_name) {
    return core::exception(std::string("\"") + name_of(_key, _description) + "\" is not " +
                               _type_name + "!",
                           CORE_SOURCE_LOCATION);
}

std::optional<core::timestamp> timestamp_value::try_convert(const Json::Value& _json) {
    if (!_json.isString()) {
        return std::nullopt;
    }
    return core::timestamp::try_parse(_json.asString());
}

core::timestamp timestamp_value::convert(const Json::Value& _json, const char* _key,
                                         const char* _description) {
    const auto& text = string_value::convert(_json, _key, _description);
    const auto parsed = core::timestamp::try_parse(text);
    if (!parsed) {
        throw core::exception(std::string("failed to parse timestamp: \"") +
                                  name_of(_key, _description) + "\"",
                              CORE_SOURCE_LOCATION);
    }
    return *parsed;
}

} // namespace nkp::libs::context_utils
