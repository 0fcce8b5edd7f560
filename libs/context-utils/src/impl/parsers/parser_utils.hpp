#pragma once

#include "core/timestamp.hpp"

#include <jsoncpp/json/value.h>

#include <optional>
#include <stdexcept>
#include <string>

namespace nkp::libs::context_utils::parsers {

// Reads members anew on every call. The get_ forms throw std::logic_error
// 'context-utils: "<description or key>" is not <type words>!'; the try_ forms give empty.
struct parser_utils {
    static std::logic_error make_exception(const char* _key, const char* _description,
                                           const char* _type_name);

    static std::string get_string(const Json::Value& _json, const char* _key,
                                  const char* _description = nullptr);
    static std::optional<std::string> try_get_string(const Json::Value& _json, const char* _key);
    static bool get_bool(const Json::Value& _json, const char* _key,
                         const char* _description = nullptr);
    static std::optional<bool> try_get_bool(const Json::Value& _json, const char* _key);
    static int get_int(const Json::Value& _json, const char* _key,
                       const char* _description = nullptr);
    static std::optional<int> try_get_int(const Json::Value& _json, const char* _key);
    // Any number, as int.
    static int get_number(const Json::Value& _json, const char* _key,
                          const char* _description = nullptr);
    static std::optional<int> try_get_number(const Json::Value& _json, const char* _key);
    static unsigned int get_uint(const Json::Value& _json, const char* _key,
                                 const char* _description = nullptr);
    static std::optional<unsigned int> try_get_uint(const Json::Value& _json, const char* _key);
    static core::timestamp get_iso8601_timestamp(const Json::Value& _json, const char* _key,
                                                 const char* _description = nullptr);
    static std::optional<core::timestamp> try_get_iso8601_timestamp(const Json::Value& _json,
                                                                    const char* _key);
};

} // namespace nkp::libs::context_utils::parsers
