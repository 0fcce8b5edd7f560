#pragma once

#include "core/redis/context.hpp"

#include <ios>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

namespace nkp {

// Deletes every key whose name begins with the branch name and ":", with one DEL.
void clear_branch(libs::core::redis::context& _redis_context, std::string_view _branch_name);

// A hexadecimal number that is the whole text (leading white space allowed); empty otherwise.
template <class T>
std::optional<T> convert_from_hex(const std::string_view& _text) {
    std::istringstream stream{std::string(_text)};
    T value{};
    stream >> std::hex >> std::skipws >> value;
    if (stream.fail() || stream.peek() != std::char_traits<char>::eof()) {
        return std::nullopt;
    }
    return value;
}

} // namespace nkp
