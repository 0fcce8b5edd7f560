#include "parser_utils.hpp"

#include "iso8601_time.hpp"

namespace nkp::libs::context_utils::parsers {

namespace {

const char* name_of(const char* _key, const char* _description) {
    return _description != nullptr ? _description : _key;
}

template <class T, class Accepts, class Convert>
std::optional<T> try_read(const Json::Value& _json, const char* _key, Accepts _accepts,
                          Convert _convert) {
    const auto& member = _json[_key];
    if (!_accepts(member)) {
        return std::nullopt;
    }
    return _convert(member);
}

template <class T>
T required(std::optional<T> _value, const char* _key, const char* _description,
           const char* _type_name) {
    if (!_value) {
        throw parser_utils::make_exception(_key, _description, _type_name);
    }
    return std::move(*_value);
}

} // namespace

std::logic_error parser_utils::make_exception(const char* _key, const char* _description,
                                              const char* _type_name) {
    return std::logic_error(std::string("context-utils: \"") + name_of(_key, _description) +
                            "\" is not " + _type_name + "!");
}

std::optional<std::string> parser_utils::try_get_string(const Json::Value& _json,
                                                        const char* _key) {
    return try_read<std::string>(
        _json, _key, [](const Json::Value& _m) { return _m.isString(); },
        [](const Json::Value& _m) { return _m.asString(); });
}

std::string parser_utils::get_string(const Json::Value& _json, const char* _key,
                                     const char* _description) {
    return required(try_get_string(_json, _key), _key, _description, "a string");
}

std::optional<bool> parser_utils::try_get_bool(const Json::Value& _json, const char* _key) {
    return try_read<bool>(
        _json, _key, [](const Json::Value& _m) { return _m.isBool(); },
        [](const Json::Value& _m) { return _m.asBool(); });
}

bool parser_utils::get_bool(const Json::Value& _json, const char* _key, const char* _description) {
    return required(try_get_bool(_json, _key), _key, _description, "a bool");
}

std::optional<int> parser_utils::try_get_int(const Json::Value& _json, const char* _key) {
    return try_read<int>(
        _json, _key, [](const Json::Value& _m) { return _m.isInt(); },
        [](const Json::Value& _m) { return _m.asInt(); });
}

int parser_utils::get_int(const Json::Value& _json, const char* _key, const char* _description) {
    return required(try_get_int(_json, _key), _key, _description, "an int");
}

std::optional<int> parser_utils::try_get_number(const Json::Value& _json, const char* _key) {
    return try_read<int>(
        _json, _key, [](const Json::Value& _m) { return _m.isNumeric(); },
        [](const Json::Value& _m) { return _m.asInt(); });
}

int parser_utils::get_number(const Json::Value& _json, const char* _key, const char* _description) {
    return required(try_get_number(_json, _key), _key, _description, "a number");
}

std::optional<unsigned int> parser_utils::try_get_uint(const Json::Value& _json, const char* _key) {
    return try_read<unsigned int>(
        _json, _key, [](const Json::Value& _m) { return _m.isUInt(); },
        [](const Json::Value& _m) { return _m.asUInt(); });
}

unsigned int parser_utils::get_uint(const Json::Value& _json, const char* _key,
                                    const char* _description) {
    return required(try_get_uint(_json, _key), _key, _description, "an uint");
}

std::optional<core::timestamp> parser_utils::try_get_iso8601_timestamp(const Json::Value& _json,
                                                                       const char* _key) {
    const auto text = try_get_string(_json, _key);
    if (!text) {
        return std::nullopt;
    }
    const auto time = iso8601_time::parse_time(*text);
    if (!time) {
        return std::nullopt;
    }
    return core::timestamp(time->ts, time->ms);
}

core::timestamp parser_utils::get_iso8601_timestamp(const Json::Value& _json, const char* _key,
                                                    const char* _description) {
    const auto text = get_string(_json, _key, _description);
    const auto time = iso8601_time::parse_time(text);
    if (!time) {
        throw std::logic_error(std::string("context-utils: failed to parse timestamp: \"") +
                               name_of(_key, _description) + "\"");
    }
    return core::timestamp(time->ts, time->ms);
}

} // namespace nkp::libs::context_utils::parsers
