#include "zone_impl.hpp"

#include <boost/range/adaptor/transformed.hpp>

namespace nkp::libs::context_utils::parsers {

namespace {

class point_impl final : public zone::point {
public:
    explicit point_impl(const Json::Value& _json)
        : m_json_value(_json) {}
    int get_x() const override { return parser_utils::get_number(m_json_value, "x"); }
    int get_y() const override { return parser_utils::get_number(m_json_value, "y"); }

private:
    const Json::Value& m_json_value;
};

class trackable_in_zone_impl final : public zone::trackable_in_zone {
public:
    explicit trackable_in_zone_impl(const Json::Value& _json)
        : m_json_value(_json) {}
    std::string get_uid() const override { return parser_utils::get_string(m_json_value, "uid"); }
    int get_x() const override { return parser_utils::get_number(entered(), "x", "entered.x"); }
    int get_y() const override { return parser_utils::get_number(entered(), "y", "entered.y"); }
    int get_z() const override { return parser_utils::get_number(entered(), "z", "entered.z"); }
    core::timestamp get_time() const override {
        return parser_utils::get_iso8601_timestamp(entered(), "time", "entered.time");
    }

private:
    const Json::Value& entered() const { return m_json_value["entered"]; }

    const Json::Value& m_json_value;
};

// Calls back for each element of an array, in order; stops at the first false.
template <class View, class Callback>
bool walk(const Json::Value& _array, const Callback& _callback) {
    if (!_array.isArray()) {
        return true;
    }
    for (const auto& element : _array) {
        if (!_callback(View(element))) {
            return false;
        }
    }
    return true;
}

strings_range texts_of(const Json::Value& _array) {
    return _array | boost::adaptors::transformed(
                        [](const Json::Value& _element) { return _element.asString(); });
}

} // namespace

strings_range array_texts(const Json::Value& _json, const char* _key) {
    const auto& member = _json[_key];
    if (!member.isArray()) {
        throw std::logic_error(std::string("context-utils: ") + _key + " is not an array!");
    }
    return texts_of(member);
}

std::optional<strings_range> try_array_texts(const Json::Value& _json, const char* _key) {
    const auto& member = _json[_key];
    if (!member.isArray()) {
        return std::nullopt;
    }
    return texts_of(member);
}

unsigned int object_ts(const Json::Value& _json, const Json::Value* _notify) {
    if (_notify != nullptr) {
        return parser_utils::get_uint(*_notify, "ts");
    }
    return static_cast<unsigned int>(
        parser_utils::get_iso8601_timestamp(_json, "updated_at").get_ts());
}

unsigned int object_ms(const Json::Value& _json, const Json::Value* _notify) {
    if (_notify != nullptr) {
        return parser_utils::get_uint(*_notify, "ms");
    }
    return parser_utils::get_iso8601_timestamp(_json, "updated_at").get_ms();
}

bool zone_impl::for_each_point(const point_callback& _callback) const {
    return walk<point_impl>(m_json_value["zone_geometry"]["positions"], _callback);
}

bool zone_impl::for_each_trackable_in_zone(const trackable_in_zone_callback& _callback) const {
    return walk<trackable_in_zone_impl>(m_json_value["trackables_in_zone"], _callback);
}

} // namespace nkp::libs::context_utils::parsers
