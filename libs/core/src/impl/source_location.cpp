#include "core/source_location.hpp"

#include "core/constants.hpp"

namespace nkp::libs::core {

std::string_view source_location::short_file() const {
    // Every file of the tree starts with the source root, so it is cut without comparing.
    const auto root_size = constants::source_directory.size();
    if (m_file.size() < root_size) {
        return m_file;
    }
    return m_file.substr(root_size);
}

std::string_view source_location::short_function() const {
    const auto parenthesis = m_function.find('(');
    if (parenthesis == std::string_view::npos) {
        return m_function;
    }
    const auto head = m_function.substr(0, parenthesis);
    const auto start = head.rfind("nkp::");
    if (start == std::string_view::npos) {
        return m_function;
    }
    return head.substr(start);
}

} // namespace nkp::libs::core
