#include "core/json.hpp"

#include "core/exception.hpp"

#include <jsoncpp/json/reader.h>
#include <jsoncpp/json/writer.h>

#include <memory>
#include <sstream>

namespace nkp::libs::core::json {

parse_result try_parse(std::string_view _text) {
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    parse_result parsed;
    if (reader->parse(_text.data(), _text.data() + _text.size(), &parsed.result, &parsed.error)) {
        parsed.ok = true;
        parsed.error.clear();
    } else {
        parsed.result = Json::Value();
    }
    return parsed;
}

Json::Value parse(std::string_view _text, source_location _location) {
    auto parsed = try_parse(_text);
    if (!parsed.ok) {
        throw exception("parse error: " + parsed.error, _location);
    }
    return std::move(parsed.result);
}

std::string to_string(const Json::Value& _value) {
    Json::StreamWriterBuilder builder;
    builder["commentStyle"] = "None";
    builder["indentation"] = "";
    const std::unique_ptr<Json::StreamWriter> writer(builder.newStreamWriter());
    std::ostringstream os;
    writer->write(_value, &os);
    return os.str();
}

std::string_view as_string_view(const Json::Value& _value) {
    const char* begin = nullptr;
    const char* end = nullptr;
    if (_value.isString() && _value.getString(&begin, &end)) {
        return std::string_view(begin, static_cast<std::size_t>(end - begin));
    }
    return {};
}

} // namespace nkp::libs::core::json
