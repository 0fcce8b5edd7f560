#pragma once

#include "config_parser/config.hpp"
#include "dictionary_impl.hpp"
#include "value_impl.hpp"

#include <istream>
#include <list>
#include <vector>

namespace nkp::libs::config {

// Owns every node of the tree. Lists keep nodes in place, so values may refer to
// dictionaries and range over arrays for the lifetime of the document.
class config_json_impl final : public config {
public:
    explicit config_json_impl(std::istream& _stream);

    // config
    const dictionary& get_root() const override { return m_dictionaries.front(); }

private:
    value_impl make_value(const Json::Value& _json);
    void fill_dictionary(dictionary_impl& _dictionary, const Json::Value& _object);

    std::list<dictionary_impl> m_dictionaries;
    std::list<std::vector<value_impl>> m_arrays;
};

} // namespace nkp::libs::config
