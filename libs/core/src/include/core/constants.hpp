#pragma once

#include <string>

// Generated at configure time.
namespace nkp::libs::core::constants {

extern const std::string git_version;
extern const std::string git_subversion;
extern const std::string library_name;
extern const std::string project_name;
// Absolute path of the source root at build time, without a trailing slash.
extern const std::string source_directory;

} // namespace nkp::libs::core::constants
