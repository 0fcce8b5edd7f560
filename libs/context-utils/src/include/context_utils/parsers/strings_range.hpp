#pragma once

#include <boost/range/any_range.hpp>

#include <cstddef>
#include <string>

namespace nkp::libs::context_utils::parsers {

// The texts of a JSON array's elements, in array order, read as they are walked.
using strings_range =
    boost::any_range<std::string, boost::bidirectional_traversal_tag, std::string, std::ptrdiff_t>;

} // namespace nkp::libs::context_utils::parsers
