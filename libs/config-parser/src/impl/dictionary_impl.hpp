#pragma once

#include "config_parser/dictionary.hpp"
#include "value_impl.hpp"

#include <map>
#include <string>
#include <vector>

namespace nkp::libs::config {

class dictionary_impl final : public dictionary {
public:
    // dictionary
    boost::optional<const value&> get_value(const std::string& _key) const override {
        const auto found = m_data.find(_key);
        if (found == m_data.end()) {
            return boost::none;
        }
        return static_cast<const value&>(found->second);
    }
    std::vector<std::string> get_keys() const override {
        std::vector<std::string> keys;
        keys.reserve(m_data.size());
        for (const auto& [key, item] : m_data) {
            keys.push_back(key);
        }
        return keys;
    }

    // The first value added under a key stays.
    void add(const std::string& _key, value_impl _value) {
        m_data.emplace(_key, std::move(_value));
    }

private:
    std::map<std::string, value_impl> m_data;
};

} // namespace nkp::libs::config
